#include <gtest/gtest.h>

#include <climits>
#include <new>

#include "platform/bmp_codec.h"
#include "platform/bmp_format.h"
#include "platform/errors.h"
#include "support/pnm.h"
#include "support/testdata.h"

namespace velk {
namespace {

using bmp::Store32;
using Bytes = std::vector<uint8_t>;

// A hand-made file: file header, an info header of any size, masks, palette, pixels.
struct TestFile {
  TestFile(int w, int h, int b, uint32_t c = bmp::kRgb, uint32_t size = 40)
      : headerSize(size), width(w), height(h), bits(b), compression(c) {}
  uint32_t headerSize;
  int width, height, bits;
  uint32_t compression, colorsUsed = 0;
  std::vector<uint32_t> masks;  // inside a v2+ header, else after the 40-byte header
  Bytes palette, pixels;

  Bytes Build() const {
    Bytes f(14 + headerSize, 0);
    f[0] = 'B', f[1] = 'M';
    for (auto [at, v] : {std::pair{14, headerSize}, {18, uint32_t(width)}, {22, uint32_t(height)},
                         {26, 1u | uint32_t(bits) << 16}, {30, compression}, {46, colorsUsed}})
      Store32(&f[at], v);
    for (size_t i = 0; i < masks.size(); ++i) {
      if (headerSize == 40) f.resize(f.size() + 4);
      Store32(headerSize == 40 ? &f[f.size() - 4] : &f[54 + 4 * i], masks[i]);
    }
    f.insert(f.end(), palette.begin(), palette.end());
    Store32(&f[10], uint32_t(f.size()));
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
  }
};

Bytes GreyPalette(int count) {
  Bytes p;
  for (int i = 0; i < count; ++i) p.insert(p.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
  return p;
}

// Refusal either way, never a crash or an allocation of the claimed size.
bool Refused(const Bytes& file) {
  try {
    ReadBmp(file);
    return false;
  } catch (const EInvalidGraphic&) {
    return true;
  } catch (const std::bad_alloc&) {
    return true;
  }
}

Bytes Row0(const Bitmap& b, size_t n) { return Bytes(b.Bits(), b.Bits() + n); }

// good: decodes and matches; odd: matches or is refused; bad/refuse: refused (a partial
// decode is allowed where marked, and must then match).
TEST(BmpTestdata, EveryFileBehavesAsItsClassRequires) {
  VELK_REQUIRE_TESTDATA();
  for (const auto& row : test::TestImages("bmp")) {
    SCOPED_TRACE(row.file);
    const bool mayFail = row.klass != "good";
    try {
      const Bitmap bitmap = LoadBmpFile(row.Path());
      EXPECT_TRUE(row.klass == "good" || row.klass == "odd" || row.expect == "ERROR-OR-PARTIAL");
      if (!row.RefPath().empty()) {
        EXPECT_EQ(test::CompareRgb(test::ReadPnm(row.RefPath()), test::ToRgb(bitmap),
                                   row.compare == "max-diff-1" ? 1 : 0), "");
      }
    } catch (const EInvalidGraphic& e) {
      EXPECT_TRUE(mayFail);
      EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    } catch (const std::bad_alloc&) {
      EXPECT_TRUE(mayFail && row.klass != "odd");
    }
  }
}

TEST(BmpTestdata, OutputKeepsOrWidensTheFileDepth) {
  VELK_REQUIRE_TESTDATA();
  const std::string dir = test::TestDataDir() + "/bmp/good/";
  for (const auto& [file, bits] : {std::pair{"pal1.bmp", 1}, {"pal4rle.bmp", 4}, {"pal8os2.bmp", 8},
                                   {"rgb16.bmp", 16}, {"rose69-16bit-565.bmp", 24}, {"rgb32bf.bmp", 32}})
    EXPECT_EQ(LoadBmpFile(dir + file).BitsPerPixel(), bits) << file;
  const Bitmap pal4 = LoadBmpFile(dir + "pal4.bmp");  // biClrUsed 12
  ASSERT_EQ(pal4.Palette().size(), 16u);
  EXPECT_EQ(pal4.Palette()[12], RGBQuad{});
}

TEST(BmpReader, BitfieldsScaleAnyContiguousMask) {
  TestFile f(3, 1, 16, bmp::kBitfields);  // 5-6-5 after a 40-byte header: widened to 24 bits
  f.masks = {0xF800, 0x07E0, 0x001F};
  f.pixels = {0xFF, 0xFF, 0x20, 0x00, 0x1F, 0xF8, 0, 0};
  Bitmap b = ReadBmp(f.Build());
  ASSERT_EQ(b.BitsPerPixel(), 24);
  EXPECT_EQ(Row0(b, 9), (Bytes{255, 255, 255, 0, 4, 0, 255, 0, 255}));  // green 1 of 63 is 4

  f = TestFile(1, 1, 32, bmp::kBitfields, 124);  // 10-10-10 and 2-bit alpha in a v5 header
  f.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
  f.pixels = {3, 0, 0xFA, 0xBF};  // red 1023, green 10 << 6, blue 3, alpha 2
  EXPECT_EQ(Row0(ReadBmp(f.Build()), 4), (Bytes{0, 160, 255, 170}));

  f = TestFile(1, 1, 16, bmp::kBitfields, 52);  // exactly 5-5-5 stays 16 bits as stored
  f.masks = {0x7C00, 0x03E0, 0x001F};
  f.pixels = {0x34, 0x92, 0, 0};
  b = ReadBmp(f.Build());
  EXPECT_EQ(b.BitsPerPixel(), 16);
  EXPECT_EQ(Row0(b, 4), f.pixels);

  f.headerSize = 40;
  f.masks = {0xF0F0, 0x0F00, 0x000F};  // not contiguous
  EXPECT_THROW(ReadBmp(f.Build()), EInvalidGraphic);
  f.masks = {0x1F0000, 0x07E0, 0x001F};  // beyond 16 bits
  EXPECT_THROW(ReadBmp(f.Build()), EInvalidGraphic);
}

TEST(BmpReader, RunLengthData) {
  // RLE8 4x3: a run, end of line, a delta over a pixel, an absolute run. Skipped pixels stay 0.
  TestFile f(4, 3, 8, bmp::kRle8);
  f.palette = GreyPalette(256);
  f.pixels = {2, 7, 0, 0, 0, 2, 1, 1, 0, 3, 5, 6, 9, 0, 0, 1};
  EXPECT_EQ(Row0(ReadBmp(f.Build()), 12), (Bytes{0, 5, 6, 9, 0, 0, 0, 0, 7, 7, 0, 0}));

  // RLE4 6x1: a run of alternating nibbles, an absolute run; no end code after the last row.
  TestFile f4(6, 1, 4, bmp::kRle4);
  f4.palette = GreyPalette(16);
  f4.pixels = {3, 0x12, 0, 3, 0xAB, 0xC0, 0, 0};
  EXPECT_EQ(Row0(ReadBmp(f4.Build()), 3), (Bytes{0x12, 0x1A, 0xBC}));

  for (const Bytes& data : {Bytes{5, 1, 0, 1},         // run past the row end
                            Bytes{0, 2, 5, 0, 0, 1},   // delta past the row end
                            Bytes{0, 2, 0, 4, 0, 1},   // delta past the image
                            Bytes{0, 3, 1, 2},         // absolute run cut short
                            Bytes{2, 1}}) {            // ends with rows left
    f.pixels = data;
    EXPECT_THROW(ReadBmp(f.Build()), EInvalidGraphic) << int(data[0]) << "," << int(data[1]);
  }
  f.height = -3;  // RLE cannot be top-down
  f.pixels = {0, 1};
  EXPECT_THROW(ReadBmp(f.Build()), EInvalidGraphic);
}

TEST(BmpReader, ShortPaletteMustCoverEveryIndex) {
  TestFile f(2, 1, 8);
  f.colorsUsed = 2;
  f.palette = GreyPalette(2);
  f.pixels = {1, 0, 0, 0};
  EXPECT_EQ(ReadBmp(f.Build()).PixelColor(0, 0), (RGBQuad{1, 1, 1, 0}));
  f.pixels = {1, 2, 0, 0};
  EXPECT_THROW(ReadBmp(f.Build()), EInvalidGraphic);

  // Run-length data: the indices its runs write, and 0 for what it skips.
  TestFile rle(4, 2, 4, bmp::kRle4);
  rle.colorsUsed = 3;
  rle.palette = GreyPalette(3);
  for (const auto& [data, valid] : {std::pair{Bytes{2, 0x21, 0, 0, 0, 3, 0x12, 0x20, 0, 1}, true},
                                    {Bytes{1, 0x23, 0, 1}, true},  // one pixel: the 3 is unused
                                    {Bytes{2, 0x23, 0, 1}, false},
                                    {Bytes{0, 3, 0x10, 0x30, 0, 1}, false}}) {
    rle.pixels = data;
    EXPECT_EQ(!Refused(rle.Build()), valid) << int(data[1]);
  }
  // A tall picture of a few bytes, all skipped: index 0, and no scan of its 889 MB.
  rle.height = 4194311;
  rle.width = 418;
  rle.pixels = {0, 1};
  EXPECT_EQ(ReadBmp(rle.Build()).PixelColor(417, 0), (RGBQuad{}));
}

TEST(BmpReader, HostileHeadersAreRefusedWithoutAllocating) {
  TestFile good(4, 2, 8);
  good.palette = GreyPalette(256);
  good.pixels = Bytes(8, 0);
  const Bytes whole = good.Build();
  ASSERT_NO_THROW(ReadBmp(whole));
  auto patched = [&](size_t at, uint32_t value) {
    Bytes f = whole;
    Store32(&f[at], value);
    return f;
  };
  for (const Bytes& f : {patched(0, 0x0000'424D),       // "MB"
                         patched(10, 40000),            // bfOffBits past the end
                         patched(10, 20),               // bfOffBits inside the header
                         patched(14, 66),               // unknown header size
                         patched(18, uint32_t(-4)),     // negative width
                         patched(22, uint32_t(INT_MIN)),
                         patched(26, 0x0008'0000),      // zero planes
                         patched(26, 0x0002'0001),      // 2 bits per pixel
                         patched(30, bmp::kJpeg), patched(30, bmp::kBitfields)})
    EXPECT_TRUE(Refused(f));

  Bytes huge = patched(18, 100000);
  Store32(&huge[22], 100000);
  EXPECT_THROW(ReadBmp(huge), EInvalidGraphic);  // the pixel array is not there
  Store32(&huge[30], bmp::kRle8);                // RLE can claim any size in a few bytes
  EXPECT_THROW(ReadBmp(huge), std::bad_alloc);

  for (size_t n = 0; n < whole.size(); ++n)  // these rows have no padding to spare
    EXPECT_TRUE(Refused(Bytes(whole.begin(), whole.begin() + n))) << n;
}

TEST(BmpReader, MissingFileGivesFileError) {
  try {
    LoadBmpFile("/nonexistent/velk.bmp");
    FAIL();
  } catch (const EFileError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file \"/nonexistent/velk.bmp\".");
  }
}

}  // namespace
}  // namespace velk
