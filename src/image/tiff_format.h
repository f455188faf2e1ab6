#pragma once
// Numbers of the TIFF format that the reader and the writer share.
#include <cstdint>

namespace velk::tiff {

enum Tag : uint16_t {
  kNewSubfileType = 254,
  kImageWidth = 256,
  kImageLength = 257,
  kBitsPerSample = 258,
  kCompression = 259,
  kPhotometric = 262,
  kFillOrder = 266,
  kStripOffsets = 273,
  kOrientation = 274,
  kSamplesPerPixel = 277,
  kRowsPerStrip = 278,
  kStripByteCounts = 279,
  kXResolution = 282,
  kYResolution = 283,
  kPlanarConfiguration = 284,
  kResolutionUnit = 296,
  kSoftware = 305,
  kColorMap = 320,
  kTileWidth = 322,
  kTileLength = 323,
  kTileOffsets = 324,
  kTileByteCounts = 325,
  kIccProfile = 34675,
};

enum FieldType : uint16_t {
  kByte = 1,
  kAscii = 2,
  kShort = 3,
  kLong = 4,
  kRational = 5,
  kSByte = 6,
  kUndefined = 7,
  kSShort = 8,
  kSLong = 9,
  kSRational = 10,
  kFloat = 11,
  kDouble = 12,
  kIfd = 13,
};

enum Photometric : uint32_t {
  kWhiteIsZero = 0,
  kBlackIsZero = 1,
  kRgb = 2,
  kPalette = 3,
};

constexpr uint32_t kNoCompression = 1;
constexpr uint32_t kPlanarSeparate = 2;
constexpr uint32_t kFillLowBitFirst = 2;  // FillOrder: the first pixel in each byte's low bit
constexpr uint16_t kMagic = 42;
constexpr uint32_t kHeaderSize = 8;
constexpr uint32_t kEntrySize = 12;

// Bytes of one element of a field type; 0 for types the reader does not know.
constexpr uint32_t FieldSize(uint16_t type) {
  switch (type) {
    case kByte: case kAscii: case kSByte: case kUndefined: return 1;
    case kShort: case kSShort: return 2;
    case kLong: case kSLong: case kFloat: case kIfd: return 4;
    case kRational: case kSRational: case kDouble: return 8;
    default: return 0;
  }
}

// Types whose elements are whole numbers that fit in 32 bits.
constexpr bool IntegerType(uint16_t type) {
  switch (type) {
    case kByte: case kSByte: case kShort: case kSShort: case kLong: case kSLong: case kIfd:
      return true;
    default:
      return false;
  }
}

// Little-endian stores, for the writer (always Intel order).
inline void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

}  // namespace velk::tiff
