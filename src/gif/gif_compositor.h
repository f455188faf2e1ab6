#pragma once
// The animation canvas: frames drawn one after another over the logical screen, each first
// removing the frame before it as that frame's disposal method asks (GIF89a). The canvas starts
// transparent, so what lies beneath the image shows through wherever no frame has drawn;
// "restore to background" makes the frame's area transparent again, as browsers do.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace velk {

class GIFImageData;

class GIFCompositor {
public:
  // A transparent canvas of the given size; no frame painted yet.
  void Reset(int width, int height);
  // Disposes of the previously painted frame, then draws frame index over the canvas, leaving
  // its transparent pixels as they were.
  void Paint(const GIFImageData& image, size_t index, bool dither);

  // 32 bits per pixel as B, G, R, A; each pixel is either opaque or all zero, so the bytes read
  // the same premultiplied or not.
  const Bitmap& Canvas() const { return canvas_; }

private:
  struct Area {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  };
  void Dispose();

  Bitmap canvas_;
  bool painted_ = false;
  Area last_;
  uint8_t lastDisposal_ = 0;
  std::vector<uint8_t>
      saved_;  // the area's pixels before the last frame, for "restore to previous"
};

}  // namespace velk
