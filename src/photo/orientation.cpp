#include "photo/orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "photo/parallel_rows.h"

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

// Where source pixel (x, y) of a width x height picture goes for an orientation; a template
// argument, so the loops below have no branch per pixel.
template <int Orientation>
void Place(int x, int y, int width, int height, int& tx, int& ty) {
  switch (Orientation) {
    case 2: tx = width - 1 - x, ty = y; break;
    case 3: tx = width - 1 - x, ty = height - 1 - y; break;
    case 4: tx = x, ty = height - 1 - y; break;
    case 5: tx = y, ty = x; break;
    case 6: tx = height - 1 - y, ty = x; break;
    case 7: tx = height - 1 - y, ty = width - 1 - x; break;
    case 8: tx = y, ty = width - 1 - x; break;
    default: tx = x, ty = y; break;
  }
}

// Rows of a width x height source picture held somewhere: row y at rows + (y - first) * stride.
struct SourceRows {
  const uint8_t* rows;
  ptrdiff_t stride;
  int first, width, height;
  const uint8_t* Row(int y) const { return rows + (y - first) * stride; }
};

// Whole-byte pixels of source rows [first, end): mirrored row by row, or turned in small
// square tiles so that a turn stays in the cache. Bands of source rows land in disjoint parts
// of the target, so they may move on several threads at once.
template <int Bytes, int Orientation>
void MoveRows(const SourceRows& source, int first, int end, Bitmap& target) {
  // 64 source rows give 192 whole bytes of each target row in a quarter turn; 16 columns keep
  // the tile's target rows few.
  constexpr int kTileRows = 64, kTileColumns = 16;
  const int width = source.width, height = source.height;
  uint8_t* const bits = target.Bits();
  const size_t stride = target.Stride();
  if constexpr (Orientation < 5) {
    // Rows stay rows: each one copied whole or mirrored.
    for (int y = first; y < end; ++y) {
      int tx, ty;
      Place<Orientation>(0, y, width, height, tx, ty);
      const uint8_t* in = source.Row(y);
      uint8_t* out = bits + size_t(ty) * stride + size_t(tx) * Bytes;
      if constexpr (Orientation == 2 || Orientation == 3) {
        for (int x = 0; x < width; ++x, in += Bytes, out -= Bytes) std::memcpy(out, in, Bytes);
      } else {
        std::memcpy(out, in, size_t(width) * Bytes);
      }
    }
    return;
  }
  for (int top = first; top < end; top += kTileRows) {
    const int bottom = std::min(top + kTileRows, end);
    for (int left = 0; left < width; left += kTileColumns) {
      const int right = std::min(left + kTileColumns, width);
      // A source column is a target row: each one filled along, a pixel from each row.
      constexpr ptrdiff_t kStep = Orientation == 6 || Orientation == 7 ? -Bytes : Bytes;
      const uint8_t* topRow = source.Row(top);
      for (int x = left; x < right; ++x) {
        int tx, ty;
        Place<Orientation>(x, top, width, height, tx, ty);
        uint8_t* out = bits + size_t(ty) * stride + size_t(tx) * Bytes;
        const uint8_t* in = topRow + size_t(x) * Bytes;
        for (int y = top; y < bottom; ++y, in += source.stride, out += kStep)
          std::memcpy(out, in, Bytes);
      }
    }
  }
}

template <int Bytes>
void MoveRowsOriented(const SourceRows& source, int first, int end, int orientation,
                      Bitmap& target) {
  switch (orientation) {
    case 2: return MoveRows<Bytes, 2>(source, first, end, target);
    case 3: return MoveRows<Bytes, 3>(source, first, end, target);
    case 4: return MoveRows<Bytes, 4>(source, first, end, target);
    case 5: return MoveRows<Bytes, 5>(source, first, end, target);
    case 6: return MoveRows<Bytes, 6>(source, first, end, target);
    case 7: return MoveRows<Bytes, 7>(source, first, end, target);
    case 8: return MoveRows<Bytes, 8>(source, first, end, target);
    default: return MoveRows<Bytes, 1>(source, first, end, target);
  }
}

// 1- and 4-bit pixels, most significant bits first, as in a bitmap's rows.
template <int Orientation>
void MovePackedPixels(const Bitmap& source, Bitmap& target) {
  const int bits = source.BitsPerPixel();
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int y = 0; y < source.Height(); ++y) {
    const uint8_t* row = source.ScanLine(y);
    for (int x = 0; x < source.Width(); ++x) {
      const int shift = (perByte - 1 - x % perByte) * bits;
      const unsigned value = (row[x / perByte] >> shift) & mask;
      int tx, ty;
      Place<Orientation>(x, y, source.Width(), source.Height(), tx, ty);
      const int targetShift = (perByte - 1 - tx % perByte) * bits;
      target.ScanLine(ty)[tx / perByte] |= uint8_t(value << targetShift);
    }
  }
}

}  // namespace

size_t ExifOrientationOffset(const uint8_t* payload, size_t size, bool* bigEndian) {
  // "Exif" 0 0, then a TIFF header: byte order, 42, offset of the first directory.
  if (size < 14 || std::memcmp(payload, "Exif\0\0", 6) != 0) return 0;
  const uint8_t* tiff = payload + 6;
  const size_t length = size - 6;
  if (tiff[0] == 'M' && tiff[1] == 'M') *bigEndian = true;
  else if (tiff[0] == 'I' && tiff[1] == 'I') *bigEndian = false;
  else return 0;
  if (Read16(tiff + 2, *bigEndian) != 42) return 0;
  const uint32_t directory = Read32(tiff + 4, *bigEndian);
  if (directory > length - 2) return 0;
  const unsigned entries = Read16(tiff + directory, *bigEndian);
  for (unsigned i = 0; i < entries; ++i) {
    const size_t at = directory + 2 + size_t(i) * 12;
    if (at + 12 > length) break;
    if (Read16(tiff + at, *bigEndian) != kOrientationTag) continue;
    // A SHORT (type 3) with one value, kept in the entry's first two value bytes.
    if (Read16(tiff + at + 2, *bigEndian) != 3 || Read32(tiff + at + 4, *bigEndian) < 1) break;
    return 6 + at + 8;
  }
  return 0;
}

int ExifOrientation(const uint8_t* payload, size_t size) {
  bool bigEndian = false;
  const size_t at = ExifOrientationOffset(payload, size, &bigEndian);
  if (at == 0) return kOrientationAsStored;
  const int value = Read16(payload + at, bigEndian);
  return ValidOrientation(value) ? value : kOrientationAsStored;
}

Bitmap OrientedBlank(int width, int height, int bitsPerPixel, int orientation) {
  const bool swaps = orientation >= 5 && orientation <= 8;
  return Bitmap(swaps ? height : width, swaps ? width : height, bitsPerPixel);
}

void PlaceOrientedRows(const uint8_t* rows, size_t stride, int first, int count, int width,
                       int height, int orientation, Bitmap& target) {
  const SourceRows source{rows, ptrdiff_t(stride), first, width, height};
  switch (target.BitsPerPixel()) {
    case 8: return MoveRowsOriented<1>(source, first, first + count, orientation, target);
    case 16: return MoveRowsOriented<2>(source, first, first + count, orientation, target);
    case 24: return MoveRowsOriented<3>(source, first, first + count, orientation, target);
    case 32: return MoveRowsOriented<4>(source, first, first + count, orientation, target);
    default: return;  // packed pixels are turned whole (Oriented)
  }
}

Bitmap Oriented(Bitmap source, int orientation) {
  if (!ValidOrientation(orientation) || orientation == kOrientationAsStored || source.Empty() ||
      !Bitmap::ValidBitsPerPixel(source.BitsPerPixel()))
    return source;
  Bitmap target =
      OrientedBlank(source.Width(), source.Height(), source.BitsPerPixel(), orientation);
  target.Palette() = source.Palette();
  const int width = source.Width(), height = source.Height();
  if (source.BitsPerPixel() >= 8) {
    // Whole-byte pixels in bands of rows on every core.
    ForRowBands(height, size_t(width) * height, [&](int first, int end) {
      PlaceOrientedRows(source.ScanLine(first), source.Stride(), first, end - first, width,
                        height, orientation, target);
    });
    return target;
  }
  switch (orientation) {
    case 2: MovePackedPixels<2>(source, target); break;
    case 3: MovePackedPixels<3>(source, target); break;
    case 4: MovePackedPixels<4>(source, target); break;
    case 5: MovePackedPixels<5>(source, target); break;
    case 6: MovePackedPixels<6>(source, target); break;
    case 7: MovePackedPixels<7>(source, target); break;
    default: MovePackedPixels<8>(source, target); break;
  }
  return target;
}

}  // namespace velk
