#include "photo/orientation.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velk {

namespace {

constexpr uint16_t kOrientationTag = 274;

uint16_t Read16(const uint8_t* p, bool bigEndian) {
  return bigEndian ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
}

uint32_t Read32(const uint8_t* p, bool bigEndian) {
  return bigEndian ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                   : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// Where source pixel (x, y) of a width x height picture goes for an orientation.
struct Placement {
  int orientation, width, height;
  std::pair<int, int> operator()(int x, int y) const {
    switch (orientation) {
      case 2: return {width - 1 - x, y};
      case 3: return {width - 1 - x, height - 1 - y};
      case 4: return {x, height - 1 - y};
      case 5: return {y, x};
      case 6: return {height - 1 - y, x};
      case 7: return {height - 1 - y, width - 1 - x};
      case 8: return {y, width - 1 - x};
      default: return {x, y};
    }
  }
};

// Whole-byte pixels, moved in square tiles so that turning a large photo stays in the cache.
template <int Bytes>
void MoveWholePixels(const Bitmap& source, Bitmap& target, const Placement& place) {
  constexpr int kTile = 64;
  for (int top = 0; top < source.Height(); top += kTile) {
    const int bottom = std::min(top + kTile, source.Height());
    for (int left = 0; left < source.Width(); left += kTile) {
      const int right = std::min(left + kTile, source.Width());
      for (int y = top; y < bottom; ++y) {
        const uint8_t* in = source.ScanLine(y) + size_t(left) * Bytes;
        for (int x = left; x < right; ++x, in += Bytes) {
          const auto [tx, ty] = place(x, y);
          std::memcpy(target.ScanLine(ty) + size_t(tx) * Bytes, in, Bytes);
        }
      }
    }
  }
}

// 1- and 4-bit pixels, most significant bits first, as in a bitmap's rows.
void MovePackedPixels(const Bitmap& source, Bitmap& target, const Placement& place) {
  const int bits = source.BitsPerPixel();
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int y = 0; y < source.Height(); ++y) {
    const uint8_t* row = source.ScanLine(y);
    for (int x = 0; x < source.Width(); ++x) {
      const int shift = (perByte - 1 - x % perByte) * bits;
      const unsigned value = (row[x / perByte] >> shift) & mask;
      const auto [tx, ty] = place(x, y);
      const int targetShift = (perByte - 1 - tx % perByte) * bits;
      target.ScanLine(ty)[tx / perByte] |= uint8_t(value << targetShift);
    }
  }
}

}  // namespace

int ExifOrientation(const uint8_t* payload, size_t size) {
  // "Exif" 0 0, then a TIFF header: byte order, 42, offset of the first directory.
  if (size < 14 || std::memcmp(payload, "Exif\0\0", 6) != 0) return kOrientationAsStored;
  const uint8_t* tiff = payload + 6;
  const size_t length = size - 6;
  bool bigEndian;
  if (tiff[0] == 'M' && tiff[1] == 'M') bigEndian = true;
  else if (tiff[0] == 'I' && tiff[1] == 'I') bigEndian = false;
  else return kOrientationAsStored;
  if (Read16(tiff + 2, bigEndian) != 42) return kOrientationAsStored;
  const uint32_t directory = Read32(tiff + 4, bigEndian);
  if (directory > length - 2) return kOrientationAsStored;
  const unsigned entries = Read16(tiff + directory, bigEndian);
  for (unsigned i = 0; i < entries; ++i) {
    const size_t at = directory + 2 + size_t(i) * 12;
    if (at + 12 > length) break;
    if (Read16(tiff + at, bigEndian) != kOrientationTag) continue;
    // A SHORT (type 3) with one value, kept in the entry's first two value bytes.
    if (Read16(tiff + at + 2, bigEndian) != 3 || Read32(tiff + at + 4, bigEndian) < 1) break;
    const int value = Read16(tiff + at + 8, bigEndian);
    return ValidOrientation(value) ? value : kOrientationAsStored;
  }
  return kOrientationAsStored;
}

Bitmap Oriented(Bitmap source, int orientation) {
  if (!ValidOrientation(orientation) || orientation == kOrientationAsStored || source.Empty())
    return source;
  const bool swaps = orientation >= 5;
  Bitmap target(swaps ? source.Height() : source.Width(),
                swaps ? source.Width() : source.Height(), source.BitsPerPixel());
  target.Palette() = source.Palette();
  const Placement place{orientation, source.Width(), source.Height()};
  switch (source.BitsPerPixel()) {
    case 1:
    case 4: MovePackedPixels(source, target, place); break;
    case 8: MoveWholePixels<1>(source, target, place); break;
    case 16: MoveWholePixels<2>(source, target, place); break;
    case 24: MoveWholePixels<3>(source, target, place); break;
    case 32: MoveWholePixels<4>(source, target, place); break;
    default: return source;
  }
  return target;
}

}  // namespace velk
