// Loading a GIF from any bytes, then rendering its first frame (also what a failed load kept)
// and writing it again.
#include <new>

#include "gif/gif_exception.h"
#include "gif/gif_frame_render.h"
#include "gif/gif_image_data.h"
#include "picture_limits.h"

namespace {
// Rendering touches every pixel: frames claiming huge sizes from tiny inputs only slow the run.
constexpr size_t kRenderLimit = fuzz::kMaxPixels;
// Dithering compares every channel of every pixel, which the coverage hooks make the run's
// main cost; a 64 x 64 frame takes each of its branches as well as a large one.
constexpr size_t kDitherLimit = size_t(1) << 12;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz::GifWithinLimit(data, size)) return 0;
  velk::GIFImageData gif;
  try {
    gif.LoadFromMemory(data, size);
  } catch (const velk::GIFException&) {
  } catch (const std::bad_alloc&) {
  }
  if (gif.Empty()) return 0;
  const velk::TGIFSubImage& first = gif.Images().front();
  const size_t screen = size_t(gif.Header().width) * gif.Header().height;
  if (screen > kRenderLimit || first.PixelCount() > kRenderLimit) return 0;
  (void)gif.FirstFrameBitmap(false);
  if (first.PixelCount() <= kDitherLimit)
    (void)first.Rendered(gif.Header(), true);  // the 216-colour Floyd-Steinberg path
  try {
    size_t pixels = 0;
    for (const velk::TGIFSubImage& frame : gif.Images()) pixels += frame.PixelCount();
    if (pixels <= kRenderLimit) (void)gif.SaveToBytes();
  } catch (const velk::GIFException&) {
  }
  return 0;
}
