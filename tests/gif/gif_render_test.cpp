// Frames as bitmaps: the first-frame bitmap, Floyd-Steinberg rendering and the animation canvas.
#include <gtest/gtest.h>

#include "gif/gif_compositor.h"
#include "gif/gif_frame_render.h"
#include "gif/gif_image_data.h"
#include "gif_test_util.h"
#include "support/pnm.h"

namespace velk {
namespace {

using test::FrameSpec;
using test::MakeGif;

const std::vector<TGIFColor> kColors{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

TEST(GifRender, TheFirstFrameBitmapHasTheScreenSizeWithTheFrameAtItsPlace) {
  const GIFImageData gif =
      MakeGif(6, 5, kColors,
              {FrameSpec{2, 1, 3, 2, {}, [](int x, int) { return 1 + x; }, 10, 0, 2},
               FrameSpec{0, 0, 6, 5, {}, [](int, int) { return 3; }, 10}});
  const Bitmap& bitmap = gif.FirstFrameBitmap(false);
  ASSERT_EQ(bitmap.Width(), 6);
  ASSERT_EQ(bitmap.Height(), 5);
  EXPECT_EQ(bitmap.BitsPerPixel(), 8);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
      // Drawn without transparency: index 2 shows green although it is the transparent index.
      const RGBQuad expected = inside ? gif.Palette()[size_t(x - 1)] : gif.Palette()[0];
      EXPECT_EQ(bitmap.PixelColor(x, y), expected) << x << "," << y;
    }
  EXPECT_EQ(&gif.FirstFrameBitmap(false), &bitmap);  // kept until the image changes
}

TEST(GifRender, AFrameInOtherColoursThanThePaletteKeepsThem) {
  const GIFImageData gif = MakeGif(
      4, 4, kColors, {FrameSpec{1, 1, 2, 2, {{9, 8, 7}, {6, 5, 4}}, [](int x, int) { return x; }}});
  const Bitmap& bitmap = gif.FirstFrameBitmap(false);
  EXPECT_EQ(bitmap.PixelColor(2, 2), (RGBQuad{4, 5, 6, 0}));
  EXPECT_EQ(bitmap.PixelColor(0, 0), (RGBQuad{0, 0, 0, 0}));
}

TEST(GifRender, AFrameOfTheScreenSizeIsCopied) {
  const GIFImageData gif =
      MakeGif(3, 2, kColors, {FrameSpec{0, 0, 3, 2, {}, [](int x, int y) { return x + y; }}});
  const Bitmap& bitmap = gif.FirstFrameBitmap(false);
  EXPECT_EQ(bitmap, gif.Images()[0].Rendered(gif.Header(), false).bitmap);
  EXPECT_TRUE(GIFImageData().FirstFrameBitmap(false).Empty());
}

TEST(GifRender, FloydSteinbergSpreadsTheErrorOverThe216Colours) {
  // A flat colour between two levels: the pixels mix the neighbouring levels to its average.
  const GIFImageData gif = MakeGif(
      40, 40, {{70, 130, 230}, {255, 255, 255}},
      {FrameSpec{0, 0, 40, 40, {}, [](int x, int y) { return x < 4 && y < 4 ? 1 : 0; }, 0, 0, 1}});
  const TGIFFrameBitmap& dithered = gif.Images()[0].Rendered(gif.Header(), true);
  EXPECT_EQ(dithered.bitmap.Palette(), Fixed216Palette());
  double sum[3] = {0, 0, 0};
  int counted = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint8_t index = dithered.bitmap.ScanLine(y)[x];
      ASSERT_LT(index, 216);
      if (x < 4 && y < 4) {
        EXPECT_TRUE(dithered.Transparent(size_t(y * 40 + x)));
        continue;
      }
      const RGBQuad c = dithered.bitmap.PixelColor(x, y);
      sum[0] += c.red, sum[1] += c.green, sum[2] += c.blue;
      ++counted;
    }
  EXPECT_NEAR(sum[0] / counted, 70, 2);
  EXPECT_NEAR(sum[1] / counted, 130, 2);
  EXPECT_NEAR(sum[2] / counted, 230, 2);
}

// The canvas's colour at a pixel; alpha 0 reads as "clear".
std::string At(const GIFCompositor& canvas, int x, int y) {
  const uint8_t* p = canvas.Canvas().ScanLine(y) + 4 * x;
  if (p[3] == 0) return "clear";
  return std::to_string(p[2]) + "," + std::to_string(p[1]) + "," + std::to_string(p[0]);
}

TEST(GifRender, TheCanvasDisposesOfFramesAsGIF89aSays) {
  // Frame 0 fills the screen red; frame 1 (blue, restore to previous) and frame 2 (green,
  // restore to background) sit at (1,1); frame 3 paints only its transparent index.
  const GIFImageData gif =
      MakeGif(4, 3, kColors,
              {FrameSpec{0, 0, 4, 3, {}, [](int, int) { return 1; }, 10, 1},
               FrameSpec{1, 1, 2, 1, {}, [](int, int) { return 3; }, 10, 3},
               FrameSpec{1, 1, 2, 2, {}, [](int x, int) { return x ? 2 : 0; }, 10, 2, 0},
               FrameSpec{0, 0, 4, 3, {}, [](int, int) { return 0; }, 10, 1, 0}});
  GIFCompositor canvas;
  canvas.Reset(4, 3);
  EXPECT_EQ(At(canvas, 0, 0), "clear");
  canvas.Paint(gif, 0, false);
  EXPECT_EQ(At(canvas, 1, 1), "255,0,0");
  canvas.Paint(gif, 1, false);
  EXPECT_EQ(At(canvas, 1, 1), "0,0,255");
  EXPECT_EQ(At(canvas, 3, 1), "255,0,0");
  canvas.Paint(gif, 2, false);             // frame 1's area comes back red first
  EXPECT_EQ(At(canvas, 1, 1), "255,0,0");  // transparent pixel of frame 2
  EXPECT_EQ(At(canvas, 2, 1), "0,255,0");
  EXPECT_EQ(At(canvas, 2, 2), "0,255,0");
  canvas.Paint(gif, 3, false);  // frame 2's area is cleared; frame 3 draws nothing
  EXPECT_EQ(At(canvas, 1, 1), "clear");
  EXPECT_EQ(At(canvas, 2, 2), "clear");
  EXPECT_EQ(At(canvas, 0, 0), "255,0,0");
  EXPECT_EQ(At(canvas, 3, 2), "255,0,0");
}

TEST(GifRender, FramesBeyondTheScreenAreClipped) {
  const GIFImageData gif =
      MakeGif(3, 3, kColors, {FrameSpec{2, 2, 5, 4, {}, [](int, int) { return 3; }}});
  GIFCompositor canvas;
  canvas.Reset(3, 3);
  canvas.Paint(gif, 0, false);
  EXPECT_EQ(At(canvas, 2, 2), "0,0,255");
  EXPECT_EQ(At(canvas, 1, 2), "clear");
  EXPECT_EQ(gif.FirstFrameBitmap(false).PixelColor(2, 2), (RGBQuad{255, 0, 0, 0}));
}

}  // namespace
}  // namespace velk
