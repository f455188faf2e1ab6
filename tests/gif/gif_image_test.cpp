// TGIFImage as a graphic: the picture loader, copies, the first-frame bitmap and still drawing.
#include "gif/gif_image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "gif/gif_format.h"
#include "gif/gif_frame_render.h"
#include "gif_test_util.h"
#include "platform/picture.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using test::FrameSpec;

const std::vector<TGIFColor> kColors{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

// A 4 x 4 screen; a 2 x 2 first frame at (1,1) whose index 0 is transparent, then a second frame.
GIFImageData TwoFrames() {
  return test::MakeGif(
      4, 4, kColors,
      {FrameSpec{1, 1, 2, 2, {}, [](int x, int y) { return x + y == 1 ? 0 : 1; }, 5, 0, 0},
       FrameSpec{0, 0, 4, 4, {}, [](int, int) { return 3; }, 5}});
}

TEST(GifImage, PicturesLoadGifFilesIntoATGIFImage) {
  RegisterGifFormat();
  test::TempDir dir;
  TwoFrames().SaveToFile(dir.File("two.GIF"));
  Picture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.LoadFromFile(dir.File("two.GIF"));
  auto* gif = dynamic_cast<TGIFImage*>(picture.GetGraphic());
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(gif->Images().size(), 2u);

  Picture copy(picture);  // the picture holds a copy of its own
  auto* copied = dynamic_cast<TGIFImage*>(copy.GetGraphic());
  ASSERT_NE(copied, nullptr);
  EXPECT_NE(copied, gif);
  EXPECT_EQ(copied->SaveToBytes(), gif->SaveToBytes());
  EXPECT_EQ(copy.Bitmap(), gif->Bitmap());  // the first frame on the screen

  dir.Write("bad.gif", "GIF89a");
  EXPECT_THROW(picture.LoadFromFile(dir.File("bad.gif")), GIFException);
  EXPECT_EQ(picture.GetGraphic(), gif);  // kept
}

TEST(GifImage, ChangesNotifyAndCopiesTakeTheSettings) {
  TGIFImage image, other;
  int changes = 0;
  image.OnChange = [&] { ++changes; };
  other.Modify([](GIFImageData& data) { data = TwoFrames(); });
  other.SetAnimationSpeed(50);
  image.Assign(other);
  EXPECT_EQ(image.Images().size(), 2u);
  EXPECT_EQ(image.AnimationSpeed(), 50);
  image.Clear();
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(image.Bitmap().Empty());
  EXPECT_FALSE(TGIFImage(other).OnChange);  // a copy starts without its owner's handler
}

TEST(GifImage, WarningsGoToTheHandlerWhenThereIsOne) {
  GIFImageData data = TwoFrames();
  std::vector<uint8_t> bytes = data.SaveToBytes();
  TGIFImage image;
  EXPECT_THROW(image.LoadFromMemory(bytes.data(), bytes.size() - 1), GIFException);  // no trailer
  EXPECT_EQ(image.Images().size(), 2u);
  bytes.back() = 'x';
  std::vector<std::string> warnings;
  image.OnWarning = [&](const std::string& w) { warnings.push_back(w); };
  image.LoadFromMemory(bytes.data(), bytes.size());
  EXPECT_EQ(warnings, (std::vector<std::string>{"Unknown GIF block type"}));
}

TEST(GifImage, DrawsOneFrameAtItsPlaceWithItsHoles) {
  TGIFImage image;
  image.Modify([](GIFImageData& data) { data = TwoFrames(); });
  image.SetDrawOptions({TGIFDrawOption::Transparent});  // no animation: the first frame only
  QImage canvas(8, 8, QImage::Format_RGB32);
  canvas.fill(qRgb(9, 9, 9));
  {
    QPainter painter(&canvas);
    image.Draw(painter, QRect(0, 0, 8, 8));
  }
  EXPECT_FALSE(image.IsPainting());
  // Screen pixel (x, y) is canvas pixels (2x, 2y) .. (2x+1, 2y+1).
  EXPECT_EQ(canvas.pixel(0, 0), qRgb(9, 9, 9));    // outside the frame
  EXPECT_EQ(canvas.pixel(2, 2), qRgb(255, 0, 0));  // frame (0,0)
  EXPECT_EQ(canvas.pixel(4, 3), qRgb(9, 9, 9));    // frame (1,0): transparent
  EXPECT_EQ(canvas.pixel(5, 5), qRgb(255, 0, 0));  // frame (1,1)
  EXPECT_EQ(canvas.pixel(7, 7), qRgb(9, 9, 9));
}

TEST(GifImage, DitheringRendersOnTheFixedPalette) {
  TGIFImage image;
  image.Modify([](GIFImageData& data) { data = TwoFrames(); });
  EXPECT_FALSE(image.Dithering());  // the test screen has 32 bits per pixel
  TGIFDrawOptions options = image.DrawOptions();
  options.Exclude(TGIFDrawOption::AutoDither);
  image.SetDrawOptions(options);
  EXPECT_TRUE(image.Dithering());
  EXPECT_EQ(image.Bitmap().BitsPerPixel(), 24);  // the 216 colours differ from the image's palette
  EXPECT_EQ(image.Bitmap().PixelColor(1, 1), (RGBQuad{0, 0, 255, 0}));
  EXPECT_EQ(image.Images()[0].Rendered(image.Header(), true).bitmap.Palette(), Fixed216Palette());
}

}  // namespace
}  // namespace velk
