#include "image/loupe_geometry.h"

#include <algorithm>
#include <cmath>

namespace velk {

namespace {
// A zoom close to 0 would ask for an enormous capture; no screen is larger than this.
constexpr double kMaxSourceSide = 8192;

int SourceSide(int side, double zoom) {
  return RoundHalfEven(std::clamp(double(std::max(side, 0)) / zoom, 0.0, kMaxSourceSide));
}
}  // namespace

int RoundHalfEven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  double result = below;
  if (fraction > 0.5) result = below + 1;
  else if (fraction == 0.5) result = std::fmod(below, 2.0) == 0 ? below : below + 1;
  return int(result);
}

SourceSize LoupeSourceSize(int width, int height, double zoom) {
  if (!(zoom > 0)) zoom = 1.0;
  return {SourceSide(width, zoom), SourceSide(height, zoom)};
}

CaptureOrigin LoupeCaptureOrigin(int pointerX, int pointerY, SourceSize source) {
  return {pointerX - source.width / 2, pointerY - source.height / 2};
}

FrameRect DrawFrame3D(const PixelGrid& grid, FrameRect rect, uint32_t topColor,
                      uint32_t bottomColor, int rings) {
  // Polylines leave out their last point; the bottom one ends at left - 1, so it covers the
  // bottom-left corner, and the top one stops short of the top-right corner.
  --rect.right;
  --rect.bottom;
  for (int ring = 0; ring < rings; ++ring) {
    for (int y = rect.top; y <= rect.bottom; ++y) grid.Set(rect.left, y, topColor);
    for (int x = rect.left; x < rect.right; ++x) grid.Set(x, rect.top, topColor);
    for (int y = rect.top; y < rect.bottom; ++y) grid.Set(rect.right, y, bottomColor);
    for (int x = rect.left; x <= rect.right; ++x) grid.Set(x, rect.bottom, bottomColor);
    ++rect.left;
    ++rect.top;
    --rect.right;
    --rect.bottom;
  }
  ++rect.right;
  ++rect.bottom;
  return rect;
}

BevelColors BevelColorsFor(TPanelBevel bevel, uint32_t shadow, uint32_t highlight) {
  if (bevel == TPanelBevel::Lowered) return {shadow, highlight};
  return {highlight, shadow};
}

void DrawLoupeBevels(const PixelGrid& grid, TPanelBevel outer, TPanelBevel inner, int bevelWidth,
                     uint32_t shadow, uint32_t highlight) {
  FrameRect rect{0, 0, grid.width, grid.height};
  // Rings beyond the size of the grid would draw nothing anyway.
  bevelWidth = std::min(bevelWidth, std::max(grid.width, grid.height));
  if (outer != TPanelBevel::None) {
    const BevelColors colors = BevelColorsFor(outer, shadow, highlight);
    rect = DrawFrame3D(grid, rect, colors.top, colors.bottom, bevelWidth);
  }
  if (inner != TPanelBevel::None) {
    const BevelColors colors = BevelColorsFor(inner, shadow, highlight);
    DrawFrame3D(grid, rect, colors.top, colors.bottom, bevelWidth);
  }
}

}  // namespace velk
