#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "image/jpeg_codec.h"
#include "platform/bmp_codec.h"
#include "support/pnm.h"
#include "support/testdata.h"

namespace velk {
namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::vector<uint8_t> TestFile(const std::string& name) {
  return ReadFile(test::TestDataDir() + "/" + name);
}

std::string DecodeError(const std::vector<uint8_t>& bytes, const JpegDecodeOptions& options = {}) {
  try {
    DecodeJpeg(bytes.data(), bytes.size(), options);
  } catch (const EJPEGException& e) {
    return e.what();
  }
  return "(no error)";
}

// The djpeg switches behind each reference name.
const std::pair<const char*, JpegDecodeOptions> kModes[] = {
    {".djpeg.bmp", {.numOfColors = TNumOfColors::TrueColor}},
    {".djpeg-colors256.bmp", {.numOfColors = TNumOfColors::_256}},
    {".djpeg-colors256-nodither.bmp", {.numOfColors = TNumOfColors::_256, .dither = TDither::None}},
    {".djpeg-colors16-onepass-ordered.bmp",
     {.numOfColors = TNumOfColors::_16, .dither = TDither::Ordered, .onePass = true}},
    {".djpeg-grayscale.bmp", {.numOfColors = TNumOfColors::TrueColor, .grayScale = true}},
    {".djpeg-colors256-onepass.bmp", {.numOfColors = TNumOfColors::_256, .onePass = true}},
    {".djpeg-colors16.bmp", {.numOfColors = TNumOfColors::_16}},
    {".djpeg-dct-fast.bmp",
     {.numOfColors = TNumOfColors::TrueColor, .dctMethod = TDCTMethod::FastInteg}},
    {".djpeg-dct-float.bmp",
     {.numOfColors = TNumOfColors::TrueColor, .dctMethod = TDCTMethod::FloatingPoint}},
    {".djpeg-nosmooth.bmp", {.numOfColors = TNumOfColors::TrueColor, .noSmooth = true}},
    // The fast preset must win over the DCT, dither and pass options set beside it.
    {".djpeg-fast.bmp",
     {.numOfColors = TNumOfColors::TrueColor,
      .dctMethod = TDCTMethod::FloatingPoint,
      .dither = TDither::None,
      .fastProcessing = true}},
    {".djpeg-fast-colors256.bmp",
     {.numOfColors = TNumOfColors::_256,
      .dctMethod = TDCTMethod::FloatingPoint,
      .fastProcessing = true}},
};

// Every good file in every option set djpeg was run with: same depth, palette and pixels.
TEST(JpegDecode, MatchesDjpegInEveryMode) {
  VELK_REQUIRE_TESTDATA();
  int compared = 0;
  for (const test::TestImage& image : test::TestImages("jpeg", "good")) {
    const std::vector<uint8_t> jpeg = ReadFile(image.Path());
    for (const auto& [suffix, options] : kModes) {
      const std::string ref = image.file + suffix;
      if (image.extraRefs.find(ref) == std::string::npos) continue;
      SCOPED_TRACE(ref);
      const Bitmap expected = ReadBmp(TestFile(ref));
      Bitmap actual;
      ASSERT_NO_THROW(actual = DecodeJpeg(jpeg.data(), jpeg.size(), options));
      ASSERT_EQ(actual.BitsPerPixel(), expected.BitsPerPixel());
      std::vector<RGBQuad> palette = expected.Palette();
      if (!palette.empty()) palette.resize(256);
      EXPECT_EQ(actual.Palette(), palette);
      EXPECT_EQ(test::CompareRgb(test::ToRgb(expected), test::ToRgb(actual)), "");
      ++compared;
    }
  }
  EXPECT_EQ(compared, 22 * 12 - 2 * 7);  // the two CMYK files have 5 modes each
}

TEST(JpegDecode, BadFilesFailWithLibjpegMessages) {
  VELK_REQUIRE_TESTDATA();
  for (const char* klass : {"bad", "refuse"})
    for (const test::TestImage& image : test::TestImages("jpeg", klass)) {
      const std::string message = DecodeError(ReadFile(image.Path()));
      EXPECT_NE(message, "(no error)") << image.file;
      if (image.message != "-") {
        EXPECT_EQ(message, image.message) << image.file;
      }
    }
}

TEST(JpegDecode, CommentsAreSkipped) {
  VELK_REQUIRE_TESTDATA();
  const auto plain = TestFile("jpeg/good/rose-13x7.jpg");
  auto commented = plain;
  commented.insert(commented.begin() + 2, {0xFF, 0xFE, 0x00, 0x05, 'a', 'b', 'c'});
  EXPECT_EQ(DecodeJpeg(commented.data(), commented.size(), {}),
            DecodeJpeg(plain.data(), plain.size(), {}));
  // A comment running past the data is a premature end.
  const std::vector<uint8_t> runaway = {0xFF, 0xD8, 0xFF, 0xFE, 0xFF, 0xF0, 'x'};
  EXPECT_EQ(DecodeError(runaway), "Premature end of JPEG file");
}

TEST(JpegDecode, HugeFrameFailsAtOnce) {
  VELK_REQUIRE_TESTDATA();
  auto jpeg = TestFile("jpeg/good/rose-13x7.jpg");
  auto setSize = [&](int width, int height) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
      if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
        jpeg[i + 5] = uint8_t(height >> 8), jpeg[i + 6] = uint8_t(height);
        jpeg[i + 7] = uint8_t(width >> 8), jpeg[i + 8] = uint8_t(width);
      }
  };
  setSize(65500, 65500);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(DecodeError(jpeg), "Image too large to decode");
  EXPECT_EQ(DecodeError(jpeg, {.numOfColors = TNumOfColors::TrueColor}),
            "Image too large to decode");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  setSize(65535, 7);
  EXPECT_EQ(DecodeError(jpeg), "Maximum supported image dimension is 65500 pixels");
}

std::vector<int> Reports(const Bitmap& picture, int step, TNumOfColors colors) {
  const auto jpeg = EncodeJpeg(picture, {});
  std::vector<int> seen;
  DecodeJpeg(jpeg.data(), jpeg.size(), {.numOfColors = colors}, step,
             [&](int p) { seen.push_back(p); });
  return seen;
}
std::vector<int> Multiples(int step, int from = 0) {
  std::vector<int> v;
  for (int p = from ? from : step; p <= 100; p += step) v.push_back(p);
  return v;
}

// Per row, however many rows libjpeg hands out at once.
TEST(JpegDecode, ProgressReportsEachStepOnce) {
  const Bitmap tall(8, 1000, 24), fifty(8, 50, 24);
  EXPECT_EQ(Reports(tall, 10, TNumOfColors::_256), Multiples(10));
  EXPECT_EQ(Reports(tall, 1, TNumOfColors::TrueColor), Multiples(1));
  EXPECT_EQ(Reports(tall, 7, TNumOfColors::TrueColor), Multiples(7));  // no 100
  EXPECT_EQ(Reports(fifty, 1, TNumOfColors::_16), Multiples(2));
}

}  // namespace
}  // namespace velk
