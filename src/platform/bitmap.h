#pragma once
// A device-independent bitmap: rows top-down, each padded to 4 bytes, pixels in the
// Windows byte order (B, G, R[, X]; 16 bits are 5-5-5), with a palette of up to 256 entries.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/zeroed_buffer.h"

namespace velk {

struct RGBQuad {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  uint8_t reserved = 0;
  friend bool operator==(const RGBQuad&, const RGBQuad&) = default;
};

// Bitmaps larger than this are refused before anything is allocated.
constexpr size_t kMaxBitmapBytes = size_t(1) << 30;

class Bitmap {
public:
  Bitmap() = default;
  // Throws std::bad_alloc when the size is negative, overflows or exceeds kMaxBitmapBytes.
  // Pixels start zeroed; palette bitmaps get a palette of 2^bits zeroed entries.
  Bitmap(int width, int height, int bitsPerPixel);

  static bool ValidBitsPerPixel(int bits);
  // Bytes per row padded to 4; 0 when the row cannot be represented.
  static size_t StrideFor(int width, int bitsPerPixel);
  // True when width x height x bits fits within kMaxBitmapBytes.
  static bool SizeAllowed(int width, int height, int bitsPerPixel);

  bool Empty() const { return width_ == 0 || height_ == 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bits_; }
  size_t Stride() const { return stride_; }
  bool HasPalette() const { return bits_ <= 8 && bits_ > 0; }

  uint8_t* ScanLine(int y) { return pixels_.data() + size_t(y) * stride_; }
  const uint8_t* ScanLine(int y) const { return pixels_.data() + size_t(y) * stride_; }
  uint8_t* Bits() { return pixels_.data(); }
  const uint8_t* Bits() const { return pixels_.data(); }
  size_t ByteSize() const { return pixels_.size(); }

  std::vector<RGBQuad>& Palette() { return palette_; }
  const std::vector<RGBQuad>& Palette() const { return palette_; }

  // The colour of one pixel whatever the format (palette entries looked up; index past the
  // palette gives black). Meant for conversions and tests, not for hot loops.
  RGBQuad PixelColor(int x, int y) const;

  friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
  int width_ = 0;
  int height_ = 0;
  int bits_ = 0;
  size_t stride_ = 0;
  ZeroedBuffer pixels_;
  std::vector<RGBQuad> palette_;
};

// A copy of any bitmap as 24 bits per pixel.
Bitmap ConvertTo24Bit(const Bitmap& source);

}  // namespace velk
