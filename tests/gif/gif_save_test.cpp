// Saving: the bytes the writer makes, and outside decoders reading them.
#include <gtest/gtest.h>

#include "gif/gif_image_data.h"
#include "gif_test_util.h"
#include "platform/errors.h"
#include "support/pnm.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using test::FrameSpec;
using test::IndexedBitmap;
using test::MakeGif;

GIFImageData Reload(const std::vector<uint8_t>& bytes) {
  GIFImageData gif;
  gif.LoadFromMemory(bytes.data(), bytes.size());
  return gif;
}

std::vector<RGBQuad> Ramp(int count) {
  std::vector<RGBQuad> palette;
  for (int i = 0; i < count; ++i)
    palette.push_back(RGBQuad{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0});
  return palette;
}

TEST(GifSave, OneTrueColourPixelIsIndex193OfTheFixedPalette) {
  Bitmap pixel(1, 1, 24);
  pixel.ScanLine(0)[0] = 49, pixel.ScanLine(0)[1] = 100, pixel.ScanLine(0)[2] = 255;
  GIFImageData gif;
  gif.Assign(pixel);
  const std::vector<uint8_t> bytes = gif.SaveToBytes();
  // Screen 1 x 1 without a global map: resolution and size bits from the 256-entry local map.
  const std::vector<uint8_t> head{'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0x77, 0,
                                  0,   ',', 0,   0,   0,   0,   1, 0, 1, 0, 0x87};
  ASSERT_EQ(bytes.size(), head.size() + 256 * 3 + 8);
  EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
  const uint8_t* map = bytes.data() + head.size();
  EXPECT_EQ(std::vector<uint8_t>(map + 193 * 3, map + 194 * 3),
            (std::vector<uint8_t>{255, 102, 51}));
  EXPECT_EQ(std::vector<uint8_t>(map + 215 * 3, map + 216 * 3),
            (std::vector<uint8_t>{255, 255, 255}));
  EXPECT_EQ(std::vector<uint8_t>(map + 216 * 3, map + 256 * 3), std::vector<uint8_t>(40 * 3, 0));
  // Clear (256), 193, EOI (257) in 9 bits each, one sub-block, trailer.
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 8, bytes.end()),
            (std::vector<uint8_t>{8, 4, 0x00, 0x83, 0x05, 0x04, 0, ';'}));
}

TEST(GifSave, ReducesTrueColourWithTheExactLevels) {
  Bitmap ramp(256, 1, 32);
  for (int x = 0; x < 256; ++x)
    ramp.ScanLine(0)[4 * x] = ramp.ScanLine(0)[4 * x + 1] = ramp.ScanLine(0)[4 * x + 2] =
        uint8_t(x);
  GIFImageData gif;
  gif.Assign(ramp);
  const GIFImageData back = Reload(gif.SaveToBytes());
  ASSERT_EQ(back.Images().size(), 1u);
  const int edges[] = {0, 48, 99, 150, 201, 252, 256};  // where each level starts
  for (int level = 0; level < 6; ++level)
    for (int x = edges[level]; x < edges[level + 1]; ++x)
      ASSERT_EQ(back.Images()[0].Data()[size_t(x)], 43 * level) << "component " << x;
  EXPECT_EQ(back.Images()[0].ColorMap().Count(), 256);
  EXPECT_TRUE(back.Images()[0].Extensions().empty());

  Bitmap fifteen(2, 1, 16);  // 5-5-5: pure red, then blue at level 31 of 31
  fifteen.ScanLine(0)[0] = 0x00, fifteen.ScanLine(0)[1] = 0x7C;
  fifteen.ScanLine(0)[2] = 0x1F, fifteen.ScanLine(0)[3] = 0x00;
  gif.Assign(fifteen);
  EXPECT_EQ(gif.Images()[0].Data()[0], 180);
  EXPECT_EQ(gif.Images()[0].Data()[1], 5);
}

TEST(GifSave, PaletteBitmapsKeepTheirColoursAndIndices) {
  const Bitmap eight =
      IndexedBitmap(37, 5, 8, Ramp(256), [](int x, int y) { return (x * 7 + y * 31) % 256; });
  GIFImageData gif;
  gif.Assign(eight);
  const std::vector<uint8_t> bytes = gif.SaveToBytes();
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
  const GIFImageData back = Reload(bytes);
  const TGIFSubImage& frame = back.Images()[0];
  ASSERT_EQ(frame.ColorMap().Count(), 256);
  for (int i = 0; i < 256; ++i) {
    const RGBQuad p = eight.Palette()[size_t(i)];
    ASSERT_EQ(frame.ColorMap()[i], (TGIFColor{p.red, p.green, p.blue})) << i;
  }
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(frame.Data()[size_t(y * 37 + x)], eight.ScanLine(y)[x]);
}

// The minimum code size byte and the local map of a saved one-frame GIF.
struct Written {
  int minCodeSize;
  uint8_t packed;
  GIFImageData back;
};
Written WriteIndexed(int bits, int colors) {
  const Bitmap bitmap =
      IndexedBitmap(19, 7, bits, Ramp(colors), [&](int x, int y) { return (x + 3 * y) % colors; });
  GIFImageData gif;
  gif.Assign(bitmap);
  const std::vector<uint8_t> bytes = gif.SaveToBytes();
  const size_t descriptor = 13;  // no global map
  const size_t mapSize = size_t(3) << (1 + (bytes[descriptor + 9] & 7));
  GIFImageData back = Reload(bytes);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 19; ++x)
      EXPECT_EQ(back.Images()[0].Data()[size_t(y * 19 + x)], (x + 3 * y) % colors);
  return {bytes[descriptor + 10 + mapSize], bytes[descriptor + 9], std::move(back)};
}

TEST(GifSave, MinimumCodeSizeFollowsTheMapButIsAtLeastTwo) {
  const Written sixteen = WriteIndexed(4, 16);
  EXPECT_EQ(sixteen.minCodeSize, 4);
  EXPECT_EQ(sixteen.packed, 0x83);
  EXPECT_EQ(sixteen.back.Images()[0].ColorMap().Count(), 16);
  const Written two = WriteIndexed(1, 2);
  EXPECT_EQ(two.minCodeSize, 2);
  EXPECT_EQ(two.packed, 0x80);
  EXPECT_EQ(two.back.Images()[0].ColorMap().Count(), 2);
  const Written five = WriteIndexed(4, 5);  // padded to 8 entries
  EXPECT_EQ(five.minCodeSize, 3);
  EXPECT_EQ(five.back.Images()[0].ColorMap().Count(), 8);
}

TEST(GifSave, GIF89aOnlyForExtensionsAndSortedMaps) {
  auto version = [](const GIFImageData& gif) {
    const std::vector<uint8_t> bytes = gif.SaveToBytes();
    return std::string(bytes.begin() + 3, bytes.begin() + 6);
  };
  const std::vector<TGIFColor> colors{{1, 2, 3}, {4, 5, 6}};
  EXPECT_EQ(version(MakeGif(2, 2, colors, {FrameSpec{0, 0, 2, 2}})), "87a");
  EXPECT_EQ(
      version(MakeGif(2, 2, colors, {FrameSpec{0, 0, 2, 2, {}, [](int, int) { return 1; }, 5}})),
      "89a");
  GIFImageData sorted = MakeGif(2, 2, colors, {FrameSpec{0, 0, 2, 2}});
  sorted.MutableHeader().colorMap.SetOptimized(true);
  EXPECT_EQ(version(sorted), "89a");
}

TEST(GifSave, TheGlobalMapCoversTheLargestMapOfTheFile) {
  std::vector<TGIFColor> local;
  for (int i = 0; i < 16; ++i) local.push_back(TGIFColor{uint8_t(i), 0, 0});
  const GIFImageData gif = MakeGif(
      3, 3, {{9, 9, 9}, {8, 8, 8}, {7, 7, 7}, {6, 6, 6}},
      {FrameSpec{0, 0, 3, 3}, FrameSpec{0, 0, 3, 3, local, [](int x, int) { return x + 13; }}});
  const std::vector<uint8_t> bytes = gif.SaveToBytes();
  EXPECT_EQ(bytes[10], 0x80 | 0x30 | 0x03);
  const GIFImageData back = Reload(bytes);
  EXPECT_EQ(back.Header().colorMap.Count(), 16);
  EXPECT_EQ(back.Header().colorMap[3], (TGIFColor{6, 6, 6}));
  EXPECT_EQ(back.Header().colorMap[4], (TGIFColor{0, 0, 0}));
  EXPECT_EQ(back.Images()[1].Data()[2], 15);
}

TEST(GifSave, FramesWithALocalMapAreWrittenNonInterlaced) {
  GIFImageData gif = MakeGif(
      5, 9, {{0, 0, 0}, {1, 1, 1}},
      {FrameSpec{0, 0, 5, 9, {{5, 5, 5}, {6, 6, 6}, {7, 7, 7}}, [](int, int y) { return y % 3; }},
       FrameSpec{0, 0, 5, 9, {}, [](int, int y) { return y % 2; }}});
  gif.MutableImage(0).SetPacked(TGIFSubImage::kInterlacedFlag);
  gif.MutableImage(1).SetPacked(TGIFSubImage::kInterlacedFlag);
  const GIFImageData back = Reload(gif.SaveToBytes());
  EXPECT_FALSE(back.Images()[0].Interlaced());
  EXPECT_TRUE(back.Images()[1].Interlaced());
  for (size_t i = 0; i < 45; ++i) {
    EXPECT_EQ(back.Images()[0].Data()[i], gif.Images()[0].Data()[i]);
    EXPECT_EQ(back.Images()[1].Data()[i], gif.Images()[1].Data()[i]);
  }
}

std::string SaveError(const GIFImageData& gif) {
  try {
    gif.SaveToBytes();
  } catch (const GIFException& e) {
    return e.what();
  }
  return "saved";
}

TEST(GifSave, RefusesWhatItCannotWrite) {
  EXPECT_EQ(SaveError(GIFImageData()), "Unsupported GIF version");
  EXPECT_EQ(SaveError(MakeGif(2, 1, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}},
                              {FrameSpec{0, 0, 2, 1, {}, [](int x, int) { return 2 + x; }}})),
            "Color not in color table");
  // A failed save leaves the file as it was.
  test::TempDir dir;
  dir.Write("old.gif", "old");
  EXPECT_THROW(GIFImageData().SaveToFile(dir.File("old.gif")), GIFException);
  EXPECT_EQ(dir.Read("old.gif"), "old");
  GIFImageData one;
  one.Assign(IndexedBitmap(2, 2, 1, Ramp(2), [](int x, int) { return x; }));
  one.SaveToFile(dir.File("old.gif"));
  EXPECT_EQ(test::ReadBytes(dir.File("old.gif")), one.SaveToBytes());
  EXPECT_THROW(one.SaveToFile(dir.File("missing/new.gif")), EFileError);
}

// Outside decoders: giflib's gif2rgb and ImageMagick read what we write to the same pixels.
test::RgbImage Expected(const GIFImageData& gif) {
  return test::ToRgb(gif.FirstFrameBitmap(false));
}

TEST(GifSave, GiflibAndImageMagickDecodeOurFiles) {
  const bool giflib = test::HaveTool("gif2rgb");
  const std::string magick = test::HaveTool("convert-im6.q16") ? "convert-im6.q16" : "convert";
  const bool imageMagick = test::HaveTool(magick);
  if (!giflib && !imageMagick)
    GTEST_SKIP() << "neither gif2rgb (giflib-tools) nor ImageMagick installed";

  std::vector<GIFImageData> cases(5);
  Bitmap photo(301, 97, 24);
  for (int y = 0; y < 97; ++y)
    for (int x = 0; x < 301; ++x) {
      uint8_t* p = photo.ScanLine(y) + 3 * x;
      p[0] = uint8_t(x * 255 / 300), p[1] = uint8_t((x ^ y) * 3), p[2] = uint8_t(y * 255 / 96);
    }
  cases[0].Assign(photo);
  cases[1].Assign(
      IndexedBitmap(640, 480, 8, Ramp(256), [](int x, int y) { return (x / 3 + y * y) % 256; }));
  cases[2].Assign(IndexedBitmap(33, 17, 4, Ramp(16), [](int x, int y) { return (x * y) % 16; }));
  cases[3].Assign(IndexedBitmap(65, 3, 1, Ramp(2), [](int x, int y) { return (x + y) % 3 == 0; }));
  cases[4] = MakeGif(7, 21, {{10, 20, 30}, {200, 100, 0}, {0, 0, 255}, {255, 255, 255}},
                     {FrameSpec{0, 0, 7, 21, {}, [](int x, int y) { return (y + x / 3) % 4; }}});
  cases[4].MutableImage(0).SetPacked(TGIFSubImage::kInterlacedFlag);

  test::TempDir dir;
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string path = dir.File("case" + std::to_string(i) + ".gif");
    cases[i].SaveToFile(path);
    const test::RgbImage expected = Expected(cases[i]);
    if (giflib) {
      int status = 0;
      test::RunCommand("gif2rgb -1 -o " + dir.File("out.rgb") + " " + path + " 2>&1", &status);
      ASSERT_EQ(status, 0) << "gif2rgb failed on case " << i;
      test::RgbImage decoded{expected.width, expected.height, test::ReadBytes(dir.File("out.rgb"))};
      EXPECT_EQ(test::CompareRgb(expected, decoded), "") << "gif2rgb, case " << i;
    }
    if (imageMagick) {
      int status = 0;
      test::RunCommand(magick + " '" + path + "[0]' " + dir.File("out.ppm") + " 2>&1", &status);
      ASSERT_EQ(status, 0) << "ImageMagick failed on case " << i;
      EXPECT_EQ(test::CompareRgb(expected, test::ReadPnm(dir.File("out.ppm"))), "")
          << "ImageMagick, case " << i;
    }
  }
}

}  // namespace
}  // namespace velk
