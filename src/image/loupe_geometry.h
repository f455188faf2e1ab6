#pragma once
// The loupe's arithmetic, free of Qt so that it can be checked without a screen: the size of
// the captured area, where it lies around the pointer, and the 3-D bevel rings.
#include <cstddef>
#include <cstdint>

namespace velk {

// Nearest integer, exact halves to the even neighbour (53.5 -> 54, 40.5 -> 40).
int RoundHalfEven(double value);

struct SourceSize {
  int width = 0;
  int height = 0;
};

// The screen area a control of width x height shows at the given zoom (> 0).
SourceSize LoupeSourceSize(int width, int height, double zoom);

struct CaptureOrigin {
  int left = 0;
  int top = 0;
};

// Top-left of the captured area so that it is centred on the pointer; halves truncate.
CaptureOrigin LoupeCaptureOrigin(int pointerX, int pointerY, SourceSize source);

// A rectangle in the framework's convention: right and bottom are exclusive.
struct FrameRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// 32-bit pixels (one word per pixel, rows stride words apart), such as a QImage's RGB32 bits.
struct PixelGrid {
  uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // in pixels

  void Set(int x, int y, uint32_t pixel) const {
    if (x >= 0 && y >= 0 && x < width && y < height) bits[std::ptrdiff_t(y) * stride + x] = pixel;
  }
  uint32_t At(int x, int y) const { return bits[std::ptrdiff_t(y) * stride + x]; }
};

// Draws `rings` rings of a 3-D frame into rect, as the framework's Frame3D does with 1-pixel
// polylines: the left and top edges in topColor, the right and bottom edges in bottomColor
// (which also takes the bottom-left and top-right corners). Returns the inner rectangle.
FrameRect DrawFrame3D(const PixelGrid& grid, FrameRect rect, uint32_t topColor,
                      uint32_t bottomColor, int rings);

enum class TPanelBevel { None, Lowered, Raised };

struct BevelColors {
  uint32_t top = 0;
  uint32_t bottom = 0;
};

// A lowered bevel is shadow above and left, highlight below and right; a raised one the reverse.
BevelColors BevelColorsFor(TPanelBevel bevel, uint32_t shadow, uint32_t highlight);

// The loupe's two bevels, outer ring(s) first, over the whole grid.
void DrawLoupeBevels(const PixelGrid& grid, TPanelBevel outer, TPanelBevel inner, int bevelWidth,
                     uint32_t shadow, uint32_t highlight);

}  // namespace velk
