#include "platform/picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/bitmap_graphic.h"
#include "platform/bmp_codec.h"
#include "platform/errors.h"
#include "platform/qimage_view.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

Bitmap Checker(int width, int height, int bits) {
  Bitmap bitmap(width, height, bits);
  if (bitmap.HasPalette()) {
    bitmap.Palette()[0] = RGBQuad{255, 0, 0, 0};  // blue
    bitmap.Palette()[1] = RGBQuad{0, 255, 255, 0};  // yellow
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool on = (x + y) % 2;
      uint8_t* row = bitmap.ScanLine(y);
      switch (bits) {
        case 1: if (on) row[x / 8] |= uint8_t(0x80 >> (x % 8)); break;
        case 4: if (on) row[x / 2] |= x % 2 ? 0x01 : 0x10; break;
        case 8: row[x] = on; break;
        case 16: row[2 * x] = on ? 0xE0 : 0x1F; row[2 * x + 1] = on ? 0x7F : 0x00; break;
        case 24: row[3 * x] = on ? 0 : 255; row[3 * x + 1] = row[3 * x + 2] = on ? 255 : 0; break;
        case 32: row[4 * x] = on ? 0 : 255; row[4 * x + 1] = row[4 * x + 2] = on ? 255 : 0; break;
      }
    }
  return bitmap;
}

TEST(Picture, AssignmentCopiesTheGraphicAndNotifies) {
  Picture a, b;
  int changes = 0;
  b.OnChange = [&] { ++changes; };
  a.SetBitmap(Checker(4, 3, 24));
  b = a;
  EXPECT_EQ(changes, 1);
  EXPECT_NE(a.GetGraphic(), b.GetGraphic());
  // The pixels are shared until one side changes them.
  EXPECT_EQ(a.Bitmap().Bits(), b.Bitmap().Bits());
  a.ForceBitmap().MutableBitmap().ScanLine(0)[0] = 7;
  a.ForceBitmap().PixelsChanged();
  EXPECT_NE(a.Bitmap().Bits(), b.Bitmap().Bits());
  EXPECT_NE(b.Bitmap().ScanLine(0)[0], 7);
  EXPECT_EQ(a.ForceBitmap().DisplayImage().pixelColor(0, 0).blue(), 7);  // byte 0 is blue
  EXPECT_NE(b.ForceBitmap().DisplayImage().pixelColor(0, 0).blue(), 7);
  b.Clear();
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(b.HasGraphic());
  EXPECT_EQ(b.Width(), 0);
}

TEST(Picture, GraphicChangesReachTheOwner) {
  Picture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.SetBitmap(Checker(2, 2, 8));
  picture.ForceBitmap().PixelsChanged();
  EXPECT_EQ(changes, 2);
}

TEST(Picture, LoadsByExtensionAndKeepsWhatItHadOnFailure) {
  test::TempDir dir;
  SaveBmpFile(Checker(5, 4, 8), dir.File("a.BMP"));
  Picture picture;
  picture.LoadFromFile(dir.File("a.BMP"));
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 4);

  try {
    picture.LoadFromFile(dir.File("x.xyz"));
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.xyz)");
  }
  dir.Write("bad.bmp", "BM not really");
  EXPECT_THROW(picture.LoadFromFile(dir.File("bad.bmp")), EInvalidGraphic);
  EXPECT_EQ(picture.Width(), 5);
}

TEST(Picture, DrawsEveryBitmapDepthAndSharesMemoryWhereQtCan) {
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    const Bitmap bitmap = Checker(9, 5, bits);
    const QImage view = BitmapAsQImage(bitmap);
    EXPECT_EQ(SharesMemoryWithQImage(bitmap), bits != 4);
    if (bits != 4) {
      EXPECT_EQ(view.constBits(), bitmap.Bits());
    }
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 9; ++x) {
        const RGBQuad c = bitmap.PixelColor(x, y);
        EXPECT_EQ(view.pixel(x, y), qRgb(c.red, c.green, c.blue)) << x << "," << y;
      }
    // Stretch-drawn through the graphic: every target pixel gets one of the two colours.
    BitmapGraphic graphic(bitmap);
    QImage canvas(18, 10, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    graphic.Draw(painter, canvas.rect());
    painter.end();
    const RGBQuad first = bitmap.PixelColor(0, 0);
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(first.red, first.green, first.blue));
  }
}

TEST(Picture, ForceBitmapTurnsOtherGraphicsIntoTheirBitmap) {
  // A graphic that is not a bitmap: a solid colour drawn by QPainter.
  struct Solid : Graphic {
    int Width() const override { return 3; }
    int Height() const override { return 2; }
    void Draw(QPainter& p, const QRect& r) const override { p.fillRect(r, Qt::green); }
    std::unique_ptr<Graphic> Clone() const override { return std::make_unique<Solid>(*this); }
    Bitmap ToBitmap() const override {
      QImage image(3, 2, QImage::Format_RGB32);
      image.fill(Qt::green);
      return BitmapFromQImage(image);
    }
  };
  Picture picture;
  picture.SetGraphic(std::make_unique<Solid>());
  const Bitmap& bitmap = picture.Bitmap();
  EXPECT_EQ(bitmap.BitsPerPixel(), 24);
  EXPECT_EQ(bitmap.PixelColor(2, 1), (RGBQuad{0, 255, 0, 0}));
  Picture empty;
  EXPECT_TRUE(empty.Bitmap().Empty());
}

}  // namespace
}  // namespace velk
