#include "gif/gif_frame_render.h"

#include <algorithm>
#include <cstring>

#include "gif/gif_color_map.h"
#include "gif/gif_sub_image.h"

namespace velk {

const std::vector<RGBQuad>& Fixed216Palette() {
  static const std::vector<RGBQuad> palette = [] {
    std::vector<RGBQuad> entries(256);
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          entries[size_t(36 * r + 6 * g + b)] =
              RGBQuad{uint8_t(b * 51), uint8_t(g * 51), uint8_t(r * 51), 0};
    return entries;
  }();
  return palette;
}

namespace {
// Floyd-Steinberg onto the 216 colours: the nearest level per channel, the error spread 7/16
// right, 3/16 below left, 5/16 below, 1/16 below right. Transparent pixels take no part.
void DitherTo216(const TGIFSubImage& frame, const std::vector<RGBQuad>& palette,
                 TGIFFrameBitmap& out) {
  const int width = frame.Width();
  const uint8_t* pixels = frame.Data().data();
  std::vector<int> errors(size_t(width + 2) * 3 * 2, 0);  // this row and the next, 1 pixel margins
  int* current = errors.data();
  int* below = errors.data() + size_t(width + 2) * 3;
  for (int y = 0; y < frame.Height(); ++y) {
    uint8_t* row = out.bitmap.ScanLine(y);
    std::fill(below, below + size_t(width + 2) * 3, 0);
    for (int x = 0; x < width; ++x) {
      const size_t i = size_t(y) * size_t(width) + size_t(x);
      if (out.Transparent(i)) {
        row[x] = 0;
        continue;
      }
      const RGBQuad c = palette[pixels[i]];
      const int source[3] = {c.red, c.green, c.blue};
      int level[3];
      for (int k = 0; k < 3; ++k) {
        const int value = std::clamp(source[k] + current[(x + 1) * 3 + k] / 16, 0, 255);
        level[k] = (value + 25) / 51;
        const int error = value - level[k] * 51;
        current[(x + 2) * 3 + k] += error * 7;
        below[x * 3 + k] += error * 3;
        below[(x + 1) * 3 + k] += error * 5;
        below[(x + 2) * 3 + k] += error;
      }
      row[x] = uint8_t(36 * level[0] + 6 * level[1] + level[2]);
    }
    std::swap(current, below);
  }
}
}  // namespace

TGIFFrameBitmap RenderGIFFrame(const TGIFSubImage& frame, const TGIFColorMap& colors, bool dither) {
  TGIFFrameBitmap out;
  out.bitmap = Bitmap(frame.Width(), frame.Height(), 8);
  const size_t count = frame.PixelCount();
  const uint8_t* pixels = frame.Data().data();
  if (const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
      control && control->transparent) {
    out.mask.resize(count);
    const uint8_t index = control->transparentColorIndex;
    for (size_t i = 0; i < count; ++i) out.mask[i] = pixels[i] == index;
  }
  const std::vector<RGBQuad> palette = colors.ToPalette();
  if (dither) {
    out.bitmap.Palette() = Fixed216Palette();
    if (count > 0) DitherTo216(frame, palette, out);
    return out;
  }
  out.bitmap.Palette() = palette;
  for (int y = 0; y < frame.Height() && count > 0; ++y)
    std::memcpy(out.bitmap.ScanLine(y), pixels + size_t(y) * size_t(frame.Width()),
                size_t(frame.Width()));
  return out;
}

}  // namespace velk
