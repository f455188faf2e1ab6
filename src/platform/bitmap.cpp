#include "platform/bitmap.h"

#include <new>

namespace velk {

bool Bitmap::ValidBitsPerPixel(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

size_t Bitmap::StrideFor(int width, int bitsPerPixel) {
  if (width < 0 || !ValidBitsPerPixel(bitsPerPixel)) return 0;
  const uint64_t bitsPerRow = uint64_t(width) * uint64_t(bitsPerPixel);
  return size_t(((bitsPerRow + 31) / 32) * 4);
}

bool Bitmap::SizeAllowed(int width, int height, int bitsPerPixel) {
  if (width < 0 || height < 0 || !ValidBitsPerPixel(bitsPerPixel)) return false;
  const uint64_t stride = StrideFor(width, bitsPerPixel);
  return height == 0 || stride <= kMaxBitmapBytes / uint64_t(height);
}

Bitmap::Bitmap(int width, int height, int bitsPerPixel) {
  if (!SizeAllowed(width, height, bitsPerPixel)) throw std::bad_alloc();
  width_ = width;
  height_ = height;
  bits_ = bitsPerPixel;
  stride_ = StrideFor(width, bitsPerPixel);
  pixels_ = ZeroedBuffer(stride_ * size_t(height));
  if (HasPalette()) palette_.assign(size_t(1) << bitsPerPixel, RGBQuad{});
}

RGBQuad Bitmap::PixelColor(int x, int y) const {
  const uint8_t* row = ScanLine(y);
  auto fromPalette = [this](unsigned index) {
    return index < palette_.size() ? palette_[index] : RGBQuad{};
  };
  switch (bits_) {
    case 1: return fromPalette((row[x / 8] >> (7 - x % 8)) & 1);
    case 4: return fromPalette(x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4);
    case 8: return fromPalette(row[x]);
    case 16: {
      const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
      auto widen = [](unsigned five) { return uint8_t((five << 3) | (five >> 2)); };
      return RGBQuad{widen(v & 31), widen((v >> 5) & 31), widen((v >> 10) & 31), 0};
    }
    case 24: return RGBQuad{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    case 32: return RGBQuad{row[4 * x], row[4 * x + 1], row[4 * x + 2], 0};
    default: return RGBQuad{};
  }
}

Bitmap ConvertTo24Bit(const Bitmap& source) {
  Bitmap result(source.Width(), source.Height(), 24);
  for (int y = 0; y < source.Height(); ++y) {
    uint8_t* out = result.ScanLine(y);
    for (int x = 0; x < source.Width(); ++x, out += 3) {
      const RGBQuad c = source.PixelColor(x, y);
      out[0] = c.blue;
      out[1] = c.green;
      out[2] = c.red;
    }
  }
  return result;
}

}  // namespace velk
