#pragma once
// BI_RLE8 and BI_RLE4 pixel data. Only bmp_reader.cpp includes this.
#include <cstdint>
#include <cstring>

#include "platform/bitmap.h"

namespace velk::bmp {

inline void SetNibble(uint8_t* row, int64_t x, unsigned value) {
  uint8_t& byte = row[x >> 1];
  byte = (x & 1) ? uint8_t((byte & 0xF0) | value) : uint8_t((byte & 0x0F) | value << 4);
}

// Decodes run-length data into a zeroed 8-bit (RLE8) or 4-bit (RLE4) bitmap, bottom row first as
// the file stores it. Pixels the data skips (delta, early end of line or bitmap) keep index 0, as
// on Windows. False when a run or delta leaves its row or the image, or the data ends before the
// end-of-bitmap code while rows remain. highestIndex receives the highest index in the picture,
// known from the data alone, so checking it costs nothing for a huge mostly skipped picture.
inline bool DecodeRle(const uint8_t* data, size_t size, Bitmap& bitmap, unsigned& highestIndex) {
  highestIndex = 0;  // skipped pixels
  auto uses = [&](unsigned index) { highestIndex = index > highestIndex ? index : highestIndex; };
  const bool fourBit = bitmap.BitsPerPixel() == 4;
  const int64_t width = bitmap.Width(), height = bitmap.Height();
  int64_t x = 0, y = 0;  // y counts rows from the bottom
  size_t pos = 0;
  auto row = [&] { return bitmap.ScanLine(int(height - 1 - y)); };
  while (size - pos >= 2) {
    const unsigned count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {  // a run of one index (RLE4: two alternating indices)
      if (y >= height || x + count > width) return false;
      uint8_t* out = row();
      if (fourBit) {
        for (unsigned i = 0; i < count; ++i) SetNibble(out, x + i, i & 1 ? value & 15 : value >> 4);
        uses(value >> 4);
        if (count > 1) uses(value & 15);
      } else {
        std::memset(out + x, int(value), count);
        uses(value);
      }
      x += count;
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return true;
      case 2:  // delta: right and up
        if (size - pos < 2) return false;
        x += data[pos];
        y += data[pos + 1];
        pos += 2;
        if (x > width || y > height) return false;
        break;
      default: {  // absolute run of `value` indices, padded to a 16-bit boundary
        const size_t bytes = fourBit ? (value + 1) / 2 : value;
        if (size - pos < bytes || y >= height || x + value > width) return false;
        uint8_t* out = row();
        if (fourBit) {
          for (unsigned i = 0; i < value; ++i) {
            const uint8_t b = data[pos + i / 2];
            const unsigned index = i & 1 ? b & 15 : b >> 4;
            SetNibble(out, x + i, index);
            uses(index);
          }
        } else {
          std::memcpy(out + x, data + pos, value);
          for (unsigned i = 0; i < value; ++i) uses(data[pos + i]);
        }
        x += value;
        pos += bytes + (bytes & 1);
        if (pos > size) pos = size;
      }
    }
  }
  return y >= height;  // no end-of-bitmap code: fine only when every row was finished
}

}  // namespace velk::bmp
