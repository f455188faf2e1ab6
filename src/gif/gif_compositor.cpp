#include "gif/gif_compositor.h"

#include <algorithm>
#include <cstring>

#include "gif/gif_extension.h"
#include "gif/gif_frame_render.h"
#include "gif/gif_image_data.h"

namespace velk {

void GIFCompositor::Reset(int width, int height) {
  canvas_ = Bitmap(width, height, 32);
  painted_ = false;
  saved_.clear();
}

void GIFCompositor::Dispose() {
  if (!painted_) return;
  const size_t rowBytes = size_t(last_.x1 - last_.x0) * 4;
  if (rowBytes == 0) return;
  switch (TDisposalMethod(lastDisposal_)) {
    case TDisposalMethod::Background:
      for (int y = last_.y0; y < last_.y1; ++y)
        std::memset(canvas_.ScanLine(y) + size_t(last_.x0) * 4, 0, rowBytes);
      break;
    case TDisposalMethod::Previous:
      for (int y = last_.y0; y < last_.y1; ++y)
        std::memcpy(canvas_.ScanLine(y) + size_t(last_.x0) * 4,
                    saved_.data() + size_t(y - last_.y0) * rowBytes, rowBytes);
      break;
    default:
      break;  // unspecified, "do not dispose" and undefined methods leave the frame
  }
}

void GIFCompositor::Paint(const GIFImageData& image, size_t index, bool dither) {
  Dispose();
  const TGIFSubImage& frame = image.Images().at(index);
  const TGIFFrameBitmap& rendered = frame.Rendered(image.Header(), dither);
  const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
  lastDisposal_ = control ? control->disposal : 0;
  last_.x0 = std::clamp(frame.Left(), 0, canvas_.Width());
  last_.y0 = std::clamp(frame.Top(), 0, canvas_.Height());
  last_.x1 = std::clamp(frame.Left() + frame.Width(), last_.x0, canvas_.Width());
  last_.y1 = std::clamp(frame.Top() + frame.Height(), last_.y0, canvas_.Height());
  painted_ = true;

  const size_t rowBytes = size_t(last_.x1 - last_.x0) * 4;
  if (TDisposalMethod(lastDisposal_) == TDisposalMethod::Previous) {
    saved_.resize(rowBytes * size_t(last_.y1 - last_.y0));
    for (int y = last_.y0; y < last_.y1; ++y)
      std::memcpy(saved_.data() + size_t(y - last_.y0) * rowBytes,
                  canvas_.ScanLine(y) + size_t(last_.x0) * 4, rowBytes);
  }

  uint8_t colors[256][4];
  for (size_t i = 0; i < 256; ++i) {
    const RGBQuad c = rendered.bitmap.Palette()[i];
    colors[i][0] = c.blue;
    colors[i][1] = c.green;
    colors[i][2] = c.red;
    colors[i][3] = 255;
  }
  const size_t frameWidth = size_t(frame.Width());
  for (int y = last_.y0; y < last_.y1; ++y) {
    const int fy = y - frame.Top();
    const uint8_t* source = rendered.bitmap.ScanLine(fy);
    uint8_t* target = canvas_.ScanLine(y);
    for (int x = last_.x0; x < last_.x1; ++x) {
      const int fx = x - frame.Left();
      if (rendered.Transparent(size_t(fy) * frameWidth + size_t(fx))) continue;
      std::memcpy(target + size_t(x) * 4, colors[source[fx]], 4);
    }
  }
}

}  // namespace velk
