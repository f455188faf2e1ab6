#pragma once
// Layout of Windows bitmap files, shared by the BMP reader and writer: header sizes,
// compression codes and little-endian field access.
#include <cstddef>
#include <cstdint>

namespace velk::bmp {

constexpr size_t kFileHeaderSize = 14;  // BITMAPFILEHEADER
// Sizes of the information headers we understand.
constexpr uint32_t kCoreHeaderSize = 12;    // OS/2 1.x BITMAPCOREHEADER, 16-bit dimensions
constexpr uint32_t kInfoHeaderSize = 40;    // BITMAPINFOHEADER
constexpr uint32_t kInfoV2HeaderSize = 52;  // + red, green, blue masks
constexpr uint32_t kInfoV3HeaderSize = 56;  // + alpha mask
constexpr uint32_t kOs2V2HeaderSize = 64;   // OS/2 2.x BITMAPINFOHEADER2
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kV5HeaderSize = 124;

// biCompression values.
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitfields = 3;
constexpr uint32_t kJpeg = 4;
constexpr uint32_t kPng = 5;
constexpr uint32_t kAlphaBitfields = 6;

inline uint16_t Load16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t Load32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void Store16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void Store32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace velk::bmp
