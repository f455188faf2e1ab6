// Photos as they are meant to be seen: orientation tags, colour profiles, CMYK, damaged files;
// each against ImageMagick, libjpeg's own djpeg or the shared references.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "image/jpeg_codec.h"
#include "image/tiff_reader.h"
#include "photo/orientation.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "support/pnm.h"
#include "support/temp_dir.h"
#include "support/testdata.h"
#include "support/wide_gamut_profile.h"

namespace velk {
namespace {

using Bytes = std::vector<uint8_t>;
const std::string kMagick = "convert-im6.q16 ";

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               std::streamsize(bytes.size()));
}
bool Shell(const std::string& command) {
  return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}
bool Have(const char* tool) { return Shell(std::string("command -v ") + tool); }

Bitmap Decode(const Bytes& jpeg, JpegDecodeOptions options) {
  return DecodeJpeg(jpeg.data(), jpeg.size(), options);
}

// A picture whose every pixel differs, so any wrong turn shows.
Bitmap Pattern(int width, int height, int bits = 24) {
  Bitmap bitmap(width, height, bits);
  if (bits == 24) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint8_t* p = bitmap.ScanLine(y) + 3 * x;
        p[0] = uint8_t(40 * y), p[1] = uint8_t(30 * x), p[2] = uint8_t(255 - 20 * (x + y));
      }
    return bitmap;
  }
  for (size_t i = 0; i < bitmap.Palette().size(); ++i)
    bitmap.Palette()[i] = RGBQuad{uint8_t(i * 7), uint8_t(i * 13), uint8_t(i * 29), 0};
  for (int y = 0; y < height; ++y)  // packed pixels: any bytes make some pattern
    for (size_t i = 0; i < bitmap.Stride(); ++i) bitmap.ScanLine(y)[i] = uint8_t(37 * y + 11 * i);
  return bitmap;
}

// Mean absolute difference per sample.
double MeanDifference(const test::RgbImage& a, const test::RgbImage& b) {
  if (a.width != b.width || a.height != b.height) return 1e9;
  double sum = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
  return sum / double(a.rgb.size());
}

// The eight orientations, in a JPEG (tag set by exiftool) and an uncompressed TIFF (by
// ImageMagick), each turned by us exactly as ImageMagick's -auto-orient turns it.
TEST(PhotoOrientation, EveryValueTurnsAsImageMagickDoes) {
  if (!Have("convert-im6.q16") || !Have("exiftool")) GTEST_SKIP() << "ImageMagick or exiftool missing";
  test::TempDir dir;
  const std::string jpeg = dir.File("o.jpg"), tiff = dir.File("o.tif"), ref = dir.File("ref.ppm");
  const Bitmap stored = Pattern(7, 4);
  const Bytes base = EncodeJpeg(stored, {.quality = 100, .rgbColourSpace = true});
  WriteFile(dir.File("base.bmp"), WriteBmp(stored));
  const char* kNames[] = {"", "TopLeft", "TopRight", "BottomRight", "BottomLeft",
                          "LeftTop", "RightTop", "RightBottom", "LeftBottom"};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    WriteFile(jpeg, base);
    ASSERT_TRUE(Shell("exiftool -n -overwrite_original -Orientation=" + std::to_string(orientation) +
                    " '" + jpeg + "'"));
    ASSERT_TRUE(Shell(kMagick + "'" + jpeg + "' -auto-orient ppm:'" + ref + "'"));
    const Bytes bytes = ReadFile(jpeg);
    const Bitmap shown = Decode(bytes, {.numOfColors = TNumOfColors::TrueColor, .applyOrientation = true});
    EXPECT_EQ(test::CompareRgb(test::ReadPnm(ref), test::ToRgb(shown)), "");
    // Off: the picture as stored.
    const Bitmap asStored = Decode(bytes, {.numOfColors = TNumOfColors::TrueColor});
    EXPECT_EQ(asStored.Width(), 7);

    ASSERT_TRUE(Shell(kMagick + "'" + dir.File("base.bmp") + "' -orient " + kNames[orientation] +
                    " -compress none '" + tiff + "' && " + kMagick + "'" + tiff +
                    "' -auto-orient ppm:'" + ref + "'"));
    ScopedScriptedDialogs dialogs;
    Bitmap tiffShown;
    ASSERT_TRUE(LoadTiffPhoto(tiff, tiffShown, true, false));
    EXPECT_EQ(test::CompareRgb(test::ReadPnm(ref), test::ToRgb(tiffShown)), "");
  }
}

// Packed 1- and 4-bit pixels (moved one by one) turn like the same picture widened to 24 bits
// (moved in tiles, and in bands on every core from 1 MP up, with tiles cut at the edges).
TEST(PhotoOrientation, PackedPixelsTurnLikeWholeOnes) {
  struct Case {
    int bits, width, height;
  } const cases[] = {{1, 13, 5}, {4, 13, 5}, {8, 13, 5}, {4, 1030, 1001}};
  for (const Case& c : cases)
    for (int orientation = 1; orientation <= 8; ++orientation) {
      SCOPED_TRACE(::testing::Message() << c.bits << " bits, " << c.width << " x " << c.height
                                        << ", orientation " << orientation);
      const Bitmap packed = Pattern(c.width, c.height, c.bits);
      EXPECT_EQ(test::CompareRgb(test::ToRgb(Oriented(ConvertTo24Bit(packed), orientation)),
                                 test::ToRgb(Oriented(packed, orientation))),
                "");
    }
}

// Only a well-formed Orientation entry counts; anything cut short or out of range is "as stored".
TEST(PhotoOrientation, ExifSegmentsAreReadWithinTheirBytes) {
  // "Exif\0\0", little-endian TIFF header, one entry: Orientation SHORT 1 = 6.
  const Bytes good = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                      0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0};
  EXPECT_EQ(ExifOrientation(good.data(), good.size()), 6);
  for (size_t cut = 0; cut < good.size(); ++cut)
    EXPECT_EQ(ExifOrientation(good.data(), cut), 1) << cut;
  Bytes outOfRange = good;
  outOfRange[24] = 9;
  EXPECT_EQ(ExifOrientation(outOfRange.data(), outOfRange.size()), 1);
  Bytes farDirectory = good;
  farDirectory[10] = 0xF0;
  EXPECT_EQ(ExifOrientation(farDirectory.data(), farDirectory.size()), 1);
}

// A photo with an embedded wide-gamut profile (JPEG APP2 by exiftool, TIFF tag by ImageMagick)
// shows as ImageMagick converts it to sRGB; in 256 and 16 colours and grey the reduction comes
// after the conversion; a CMYK file reduces from its RGB picture. One row per file and mode.
TEST(PhotoColours, ProfilesAndCmykInEveryColourMode) {
  if (!Have("convert-im6.q16") || !Have("exiftool")) GTEST_SKIP() << "ImageMagick or exiftool missing";
  test::TempDir dir;
  const std::string jpeg = dir.File("p.jpg"), tiff = dir.File("p.tif"), icc = dir.File("wide.icc");
  WriteFile(icc, test::WideGamutProfile());
  WriteFile(dir.File("srgb.icc"), test::SrgbProfile());
  Bitmap stored(64, 48, 24);
  for (int y = 0; y < 48; ++y)  // saturated hues, where the two spaces differ most
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = stored.ScanLine(y) + 3 * x;
      p[0] = uint8_t(4 * x), p[1] = uint8_t(5 * y), p[2] = uint8_t(255 - 4 * x);
    }
  WriteFile(jpeg, EncodeJpeg(stored, {.quality = 100, .rgbColourSpace = true}));
  WriteFile(dir.File("p.bmp"), WriteBmp(stored));
  ASSERT_TRUE(Shell("exiftool -overwrite_original '-icc_profile<=" + icc + "' '" + jpeg + "'"));
  ASSERT_TRUE(Shell(kMagick + "'" + dir.File("p.bmp") + "' -compress none -profile '" + icc + "' '" + tiff + "'"));
  const std::string converted = dir.File("converted.ppm"), plain = dir.File("plain.ppm");
  ASSERT_TRUE(Shell(kMagick + "'" + jpeg + "' -profile '" + dir.File("srgb.icc") + "' ppm:'" + converted + "'"));
  ASSERT_TRUE(Shell(kMagick + "'" + jpeg + "' ppm:'" + plain + "'"));
  const test::RgbImage inSrgb = test::ReadPnm(converted), asStored = test::ReadPnm(plain);
  ASSERT_GT(MeanDifference(inSrgb, asStored), 5);  // the profile matters for this picture

  const Bytes profiled = ReadFile(jpeg);
  const JpegDecodeOptions profile{.convertProfile = true};
  EXPECT_EQ(test::CompareRgb(inSrgb, test::ToRgb(Decode(profiled, {.numOfColors = TNumOfColors::TrueColor, .convertProfile = true})), 2), "");
  EXPECT_EQ(test::CompareRgb(asStored, test::ToRgb(Decode(profiled, {.numOfColors = TNumOfColors::TrueColor})), 0), "");
  {
    ScopedScriptedDialogs dialogs;
    Bitmap fromTiff;
    ASSERT_TRUE(LoadTiffPhoto(tiff, fromTiff, false, true));
    EXPECT_EQ(test::CompareRgb(inSrgb, test::ToRgb(fromTiff), 2), "");
  }

  // Reduced pictures stay near the true-colour one they come from (grey: near its luminance).
  const auto grey = [](test::RgbImage image) {
    for (size_t i = 0; i < image.rgb.size(); i += 3) {
      const auto y = uint8_t(std::lround(0.299 * image.rgb[i] + 0.587 * image.rgb[i + 1] +
                                         0.114 * image.rgb[i + 2]));
      image.rgb[i] = image.rgb[i + 1] = image.rgb[i + 2] = y;
    }
    return image;
  };
  const bool haveCmyk = !test::TestDataDir().empty();
  const Bytes cmyk = haveCmyk ? ReadFile(test::TestDataDir() + "/jpeg/good/rose-cmyk.jpg") : Bytes{};
  const test::RgbImage cmykRgb =
      haveCmyk ? test::ReadPnm(test::TestDataDir() + "/jpeg/good/rose-cmyk.jpg.ref.ppm") : test::RgbImage{};
  const struct {
    const char* mode;
    JpegDecodeOptions options;
    double within;
    bool grey;
  } modes[] = {
      {"true colour", {.numOfColors = TNumOfColors::TrueColor}, 0.01, false},
      {"256 colours", {.numOfColors = TNumOfColors::_256}, 5, false},
      {"16 colours, ordered", {.numOfColors = TNumOfColors::_16, .dither = TDither::Ordered}, 30, false},
      {"grey", {.numOfColors = TNumOfColors::TrueColor, .grayScale = true}, 2, true},
      {"grey in 16 levels", {.numOfColors = TNumOfColors::_16, .grayScale = true}, 10, true},
  };
  for (const auto& m : modes) {
    SCOPED_TRACE(m.mode);
    JpegDecodeOptions withProfile = m.options;
    withProfile.convertProfile = true;
    const test::RgbImage reduced = test::ToRgb(Decode(profiled, withProfile));
    const test::RgbImage target = m.grey ? grey(inSrgb) : inSrgb;
    EXPECT_LT(MeanDifference(target, reduced), m.within + 1);
    // Converted first: nearer the sRGB picture than the stored one is.
    EXPECT_LT(MeanDifference(target, reduced), MeanDifference(m.grey ? grey(asStored) : asStored, reduced));
    if (!haveCmyk) continue;
    const test::RgbImage cmykReduced = test::ToRgb(Decode(cmyk, m.options));
    EXPECT_LT(MeanDifference(m.grey ? grey(cmykRgb) : cmykRgb, cmykReduced), m.within + 1);
  }
}

// libjpeg's warnings in the viewer: the picture as djpeg shows it, with the first warning's text.
TEST(PhotoDamage, DamagedFilesShowWhatDecodesAndSayWhy) {
  VELK_REQUIRE_TESTDATA();
  int shown = 0;
  for (const test::TestImage& image : test::TestImages("jpeg", "bad")) {
    if (image.expect != "ERROR-ON-WARNING") continue;
    SCOPED_TRACE(image.file);
    const Bytes bytes = ReadFile(image.Path());
    std::string warning;
    const Bitmap picture = DecodeJpeg(bytes.data(), bytes.size(),
                                      {.numOfColors = TNumOfColors::TrueColor, .tolerateWarnings = true},
                                      10, {}, &warning);
    EXPECT_EQ(warning, image.message);
    const std::string djpeg = image.Path() + ".djpeg.bmp";
    if (std::ifstream(djpeg).good()) {
      EXPECT_EQ(test::CompareRgb(test::ToRgb(ReadBmp(ReadFile(djpeg))), test::ToRgb(picture)), "");
      ++shown;
    }
  }
  EXPECT_GE(shown, 3);
  // A malformed profile (chunk 2 of 1) is not used, and is no warning that fails the file.
  const Bytes plain = ReadFile(test::TestDataDir() + "/jpeg/good/rose-13x7.jpg");
  Bytes bogus(plain.begin(), plain.begin() + 2);
  const Bytes segment = {0xFF, 0xE2, 0, 20, 'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L',
                         'E', 0, 2, 1, 'x', 'y', 'z', 'w'};
  bogus.insert(bogus.end(), segment.begin(), segment.end());
  bogus.insert(bogus.end(), plain.begin() + 2, plain.end());
  EXPECT_EQ(Decode(bogus, {.convertProfile = true}), Decode(plain, {}));
}

}  // namespace
}  // namespace velk
