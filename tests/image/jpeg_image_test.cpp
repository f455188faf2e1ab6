#include "image/jpeg_image.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

// A colourful test picture written as a JPEG file by the codec.
std::string WriteTestJpeg(const test::TempDir& dir, const std::string& name, int width, int height) {
  Bitmap bitmap(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      p[0] = uint8_t(x * 255 / width);
      p[1] = uint8_t(y * 255 / height);
      p[2] = uint8_t((x ^ y) & 0xFF);
    }
  const std::string path = dir.File(name);
  EXPECT_TRUE(WriteFileAtomically(path, EncodeJpeg(bitmap, JpegEncodeOptions{})));
  return path;
}

TEST(JPEGImage, StartsEmptyWithItsDefaults) {
  TJPEGImage image;
  EXPECT_EQ(image.NumOfColors(), TNumOfColors::_256);
  EXPECT_EQ(image.DCTMethod(), TDCTMethod::Integ);
  EXPECT_EQ(image.Dither(), TDither::FS);
  EXPECT_FALSE(image.FastProcessing() || image.GrayScale() || image.NoSmooth() || image.OnePass());
  EXPECT_EQ(image.ProgressStep(), 10);
  EXPECT_EQ(image.Quality(), 75);
  EXPECT_FALSE(image.Progressive());
  EXPECT_EQ(image.FileName(), "");
  // Without a file, option changes only repaint.
  image.SetNumOfColors(TNumOfColors::TrueColor);
  image.SetGrayScale(true);
  EXPECT_FALSE(image.GetPicture().HasGraphic());
}

TEST(JPEGImage, EveryOptionChangeDecodesAgain) {
  test::TempDir dir;
  TJPEGImage image;
  image.SetFileName(WriteTestJpeg(dir, "a.jpg", 40, 30));
  EXPECT_EQ(image.GetPicture().Bitmap().BitsPerPixel(), 8);  // 256 colours by default
  EXPECT_EQ(image.GetPicture().Bitmap().Palette().size(), 256u);

  image.SetNumOfColors(TNumOfColors::TrueColor);
  const Bitmap trueColour = image.GetPicture().Bitmap();
  EXPECT_EQ(trueColour.BitsPerPixel(), 24);
  EXPECT_EQ(trueColour.Width(), 40);

  // Dither acts only when quantizing: decoded again, nothing visible changes.
  uint64_t before = image.GetPicture().Generation();
  image.SetDither(TDither::Ordered);
  EXPECT_NE(image.GetPicture().Generation(), before);
  EXPECT_EQ(image.GetPicture().Bitmap(), trueColour);

  // Grey scale in true colour: 8 bits with the 256 grey levels.
  image.SetGrayScale(true);
  const Bitmap& grey = image.GetPicture().Bitmap();
  ASSERT_EQ(grey.BitsPerPixel(), 8);
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(grey.Palette()[size_t(i)], (RGBQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0}));

  // The same value again still decodes.
  before = image.GetPicture().Generation();
  image.SetGrayScale(true);
  EXPECT_NE(image.GetPicture().Generation(), before);

  image.SetFileName("");
  EXPECT_FALSE(image.GetPicture().HasGraphic());
}

TEST(JPEGImage, ProgressIsReportedPerStep) {
  test::TempDir dir;
  TJPEGImage image;
  image.SetNumOfColors(TNumOfColors::TrueColor);
  QSignalSpy spy(&image, &TCustomJPEGImage::OnProgress);
  image.SetFileName(WriteTestJpeg(dir, "tall.jpg", 16, 400));
  EXPECT_EQ(spy.count(), 10);
  EXPECT_EQ(spy.at(0).at(0).value<QObject*>(), &image);
  spy.clear();
  image.SetProgressStep(1);
  image.SetOnePass(false);
  EXPECT_EQ(spy.count(), 100);
  image.SetProgressStep(0);
  EXPECT_EQ(image.ProgressStep(), 1);
}

TEST(JPEGImage, DecodingTheSameBytesWithTheSameOptionsKeepsThePixels) {
  test::TempDir dir;
  TJPEGImage image;
  QSignalSpy progress(&image, &TCustomJPEGImage::OnProgress);
  int changes = 0;
  image.GetPicture().OnChange = [&] { ++changes; };
  const std::string path = WriteTestJpeg(dir, "tall.jpg", 16, 400);
  image.SetFileName(path);
  const Bitmap first = image.GetPicture().Bitmap();
  const uint8_t* pixels = image.GetPicture().Bitmap().Bits();
  ASSERT_EQ(progress.count(), 10);
  ASSERT_EQ(changes, 1);

  // What a decode shows outside: the progress events, the picture's change, the same bitmap,
  // without a second copy of it.
  image.SetDither(TDither::FS);
  EXPECT_EQ(progress.count(), 10 + 10);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(image.GetPicture().Bitmap().Bits(), pixels);

  // The same file read again holds the same bytes; another file is decoded for real.
  image.SetFileName(path);
  EXPECT_EQ(progress.count(), 30);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(image.GetPicture().Bitmap().Bits(), pixels);
  image.SetFileName(WriteTestJpeg(dir, "other.jpg", 16, 300));
  EXPECT_EQ(progress.count(), 40);
  EXPECT_NE(image.GetPicture().Bitmap().Bits(), pixels);
  image.SetFileName(path);
  EXPECT_EQ(image.GetPicture().Bitmap(), first);

  // Another option, or a picture put in from outside, decodes for real.
  image.SetNumOfColors(TNumOfColors::TrueColor);
  EXPECT_EQ(image.GetPicture().Bitmap().BitsPerPixel(), 24);
  image.SetNumOfColors(TNumOfColors::_256);
  EXPECT_EQ(image.GetPicture().Bitmap(), first);
  image.GetPicture().SetBitmap(Bitmap(2, 2, 24));
  image.SetDither(TDither::FS);
  EXPECT_EQ(image.GetPicture().Bitmap(), first);
}

TEST(JPEGImage, FailuresKeepThePreviousPicture) {
  test::TempDir dir;
  const std::string good = WriteTestJpeg(dir, "good.jpg", 64, 48);
  const auto bytes = *ReadWholeFile(good);
  dir.Write("truncated.jpg", std::string(bytes.begin(), bytes.begin() + long(bytes.size() / 2)));
  dir.Write("text.jpg", "hello, world");
  dir.Write("empty.jpg", "");

  TJPEGImage image;
  image.SetFileName(good);
  const Graphic* shown = image.GetPicture().GetGraphic();
  auto expectFailure = [&](const std::string& file, const std::string& message) {
    SCOPED_TRACE(file);
    try {
      image.SetFileName(dir.File(file));
      ADD_FAILURE() << "no error";
    } catch (const EJPEGException& e) {
      EXPECT_EQ(e.what(), message);
    }
    EXPECT_EQ(image.GetPicture().GetGraphic(), shown);
    EXPECT_EQ(image.FileName(), dir.File(file));
  };
  expectFailure("truncated.jpg", "Premature end of JPEG file");
  expectFailure("text.jpg", "Not a JPEG file: starts with 0x68 0x65");
  expectFailure("empty.jpg", "Empty input file");
  // An empty file is held as such: an option change then shows nothing, not the file before.
  image.SetFileName(good);
  EXPECT_THROW(image.SetFileName(dir.File("empty.jpg")), EJPEGException);
  EXPECT_TRUE(image.HeldBytes().empty());

  // A file that cannot be opened: the name is stored, the held bytes stay.
  image.SetFileName(good);
  EXPECT_THROW(image.SetFileName(dir.File("missing.jpg")), EFileError);
  EXPECT_EQ(image.FileName(), dir.File("missing.jpg"));
  EXPECT_EQ(image.HeldBytes(), bytes);
}

TEST(JPEGImage, EncodesItsPictureToAFile) {
  test::TempDir dir;
  TJPEGImage image;
  image.SetNumOfColors(TNumOfColors::TrueColor);
  image.SetFileName(WriteTestJpeg(dir, "in.jpg", 33, 17));
  image.SetQuality(95);
  image.SetProgressive(true);
  image.EncodeToFile(dir.File("out.jpg"));

  TJPEGImage reread;
  reread.SetNumOfColors(TNumOfColors::TrueColor);
  reread.SetFileName(dir.File("out.jpg"));
  const Bitmap& a = image.GetPicture().Bitmap();
  const Bitmap& b = reread.GetPicture().Bitmap();
  ASSERT_EQ(b.Width(), 33);
  ASSERT_EQ(b.Height(), 17);
  int worst = 0;
  for (int y = 0; y < 17; ++y)
    for (size_t i = 0; i < 33 * 3; ++i)
      worst = std::max(worst, std::abs(a.ScanLine(y)[i] - b.ScanLine(y)[i]));
  EXPECT_LT(worst, 40);

  // Only 8- and 24-bit pictures can be compressed; the old output stays untouched.
  const auto written = ReadWholeFile(dir.File("out.jpg"));
  image.GetPicture().SetBitmap(Bitmap(4, 4, 32));
  try {
    image.EncodeToFile(dir.File("out.jpg"));
    ADD_FAILURE() << "no error";
  } catch (const EJPEGException& e) {
    EXPECT_STREQ(e.what(), "Only 8- and 24-bit BMP files are supported");
  }
  EXPECT_EQ(ReadWholeFile(dir.File("out.jpg")), written);
  std::vector<uint8_t>* none = nullptr;
  image.EncodeToStream(none);  // no stream: nothing happens
}

}  // namespace
}  // namespace velk
