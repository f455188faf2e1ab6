#pragma once
// A frame rendered to a bitmap: its pixels through its colour map, or, for poor screens, onto the
// fixed 216-colour palette with Floyd-Steinberg error diffusion; plus its transparency mask.
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace velk {

class TGIFColorMap;
class TGIFSubImage;

struct TGIFFrameBitmap {
  Bitmap bitmap;              // 8 bits per pixel, frame-sized, 256 palette entries
  std::vector<uint8_t> mask;  // one byte a pixel, non-zero where transparent; empty when opaque
  bool Transparent(size_t pixel) const { return !mask.empty() && mask[pixel]; }
};

TGIFFrameBitmap RenderGIFFrame(const TGIFSubImage& frame, const TGIFColorMap& colors, bool dither);

// The fixed palette: entry 36 r + 6 g + b holds red r x 51, green g x 51, blue b x 51 (r, g, b
// from 0 to 5), padded with black to 256 entries.
const std::vector<RGBQuad>& Fixed216Palette();
// The level (0..5) a component maps to when a bitmap is reduced without dithering.
inline int Fixed216Level(int component) { return (component + 3) / 51; }
inline uint8_t Fixed216Index(int red, int green, int blue) {
  return uint8_t(36 * Fixed216Level(red) + 6 * Fixed216Level(green) + Fixed216Level(blue));
}

}  // namespace velk
