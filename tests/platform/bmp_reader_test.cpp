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

using bmp::Load32;
using bmp::Store32;
using Bytes = std::vector<uint8_t>;

// A hand-made file: file header, an info header of any size, masks, palette, pixels.
struct TestFile {
  uint32_t headerSize = 40;
  int width = 1, height = 1, bits = 24;
  uint32_t compression = bmp::kRgb, colorsUsed = 0;
  std::vector<uint32_t> masks;  // inside a v2+ header, else after the 40-byte header
  Bytes palette;                // entry bytes as stored
  Bytes pixels;

  Bytes Build() const {
    Bytes f(14 + headerSize, 0);
    f[0] = 'B', f[1] = 'M';
    Store32(&f[14], headerSize);
    Store32(&f[18], uint32_t(width));
    Store32(&f[22], uint32_t(height));
    bmp::Store16(&f[26], 1);
    bmp::Store16(&f[28], uint16_t(bits));
    Store32(&f[30], compression);
    Store32(&f[46], colorsUsed);
    for (size_t i = 0; i < masks.size(); ++i) {
      if (headerSize > 40) {
        Store32(&f[54 + 4 * i], masks[i]);
      } else {
        f.resize(f.size() + 4);
        Store32(&f[f.size() - 4], masks[i]);
      }
    }
    f.insert(f.end(), palette.begin(), palette.end());
    Store32(&f[10], uint32_t(f.size()));
    f.insert(f.end(), pixels.begin(), pixels.end());
    Store32(&f[2], uint32_t(f.size()));
    return f;
  }
};

// Palette of `count` grey entries 0, 1, 2, ...
Bytes GreyPalette(int count) {
  Bytes p;
  for (int i = 0; i < count; ++i) p.insert(p.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
  return p;
}

void ExpectInvalid(const Bytes& file) {
  try {
    ReadBmp(file);
    ADD_FAILURE() << "decoded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Bitmap image is not valid");
  }
}

// Reading must fail one way or the other, never crash or allocate the claimed size.
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

std::string CompareWithRef(const test::TestImage& row, const Bitmap& bitmap) {
  return test::CompareRgb(test::ReadPnm(row.RefPath()), test::ToRgb(bitmap),
                          row.compare == "max-diff-1" ? 1 : 0);
}

TEST(BmpTestdata, GoodFilesMatchTheirReferences) {
  VELK_REQUIRE_TESTDATA();
  for (const auto& row : test::TestImages("bmp", "good")) {
    try {
      const std::string diff = CompareWithRef(row, LoadBmpFile(row.Path()));
      EXPECT_EQ(diff, "") << row.file;
    } catch (const std::exception& e) {
      ADD_FAILURE() << row.file << ": " << e.what();
    }
  }
}

TEST(BmpTestdata, OddFilesMatchOrAreRefused) {
  VELK_REQUIRE_TESTDATA();
  for (const auto& row : test::TestImages("bmp", "odd")) {
    try {
      const Bitmap bitmap = LoadBmpFile(row.Path());
      if (!row.RefPath().empty()) EXPECT_EQ(CompareWithRef(row, bitmap), "") << row.file;
    } catch (const EInvalidGraphic&) {
    }
  }
}

TEST(BmpTestdata, BadAndUnsupportedFilesFail) {
  VELK_REQUIRE_TESTDATA();
  auto rows = test::TestImages("bmp", "bad");
  const auto refused = test::TestImages("bmp", "refuse");
  rows.insert(rows.end(), refused.begin(), refused.end());
  for (const auto& row : rows) {
    try {
      const Bitmap bitmap = LoadBmpFile(row.Path());
      if (row.expect != "ERROR-OR-PARTIAL") ADD_FAILURE() << row.file << " decoded";
      else if (!row.RefPath().empty()) EXPECT_EQ(CompareWithRef(row, bitmap), "") << row.file;
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), kInvalidBitmapMessage) << row.file;
    } catch (const std::bad_alloc&) {
    }
  }
}

TEST(BmpTestdata, OutputKeepsOrWidensTheFileDepth) {
  VELK_REQUIRE_TESTDATA();
  const std::string dir = test::TestDataDir() + "/bmp/good/";
  const std::pair<const char*, int> cases[] = {
      {"pal1.bmp", 1}, {"pal4rle.bmp", 4}, {"pal8os2.bmp", 8}, {"rgb16.bmp", 16},
      {"rose69-16bit-565.bmp", 24}, {"rgb24.bmp", 24}, {"rgb32bf.bmp", 32}};
  for (const auto& [file, bits] : cases) EXPECT_EQ(LoadBmpFile(dir + file).BitsPerPixel(), bits) << file;
  const Bitmap pal4 = LoadBmpFile(dir + "pal4.bmp");  // biClrUsed 12 of 16
  ASSERT_EQ(pal4.Palette().size(), 16u);
  EXPECT_EQ(pal4.Palette()[12], RGBQuad{});
  EXPECT_NE(pal4.Palette()[11], RGBQuad{});
}

TEST(BmpReader, BitfieldsScaleAnyContiguousMask) {
  // 5-6-5 after a 40-byte header: widened to 24 bits with full scale at 255.
  TestFile f{.bits = 16, .compression = bmp::kBitfields, .masks = {0xF800, 0x07E0, 0x001F}};
  f.width = 3;
  f.pixels = {0xFF, 0xFF, 0x20, 0x00, 0x1F, 0xF8, 0, 0};
  Bitmap b = ReadBmp(f.Build());
  ASSERT_EQ(b.BitsPerPixel(), 24);
  EXPECT_EQ(b.PixelColor(0, 0), (RGBQuad{255, 255, 255, 0}));
  EXPECT_EQ(b.PixelColor(1, 0), (RGBQuad{0, 4, 0, 0}));  // green 1 of 63
  EXPECT_EQ(b.PixelColor(2, 0), (RGBQuad{255, 0, 255, 0}));

  // 10-10-10 with a 2-bit alpha in a v5 header: 32 bits B, G, R, alpha.
  f = TestFile{.headerSize = 124, .bits = 32, .compression = bmp::kBitfields,
               .masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}};
  f.pixels = {0, 0, 0, 0};
  Store32(f.pixels.data(), 0x3FF00000 | 512 << 10 | 3 | 2u << 30);
  b = ReadBmp(f.Build());
  ASSERT_EQ(b.BitsPerPixel(), 32);
  EXPECT_EQ(Bytes(b.Bits(), b.Bits() + 4), (Bytes{0, 128, 255, 170}));

  // Exactly 5-5-5 (v2 header) stays 16 bits, bytes unchanged.
  f = TestFile{.headerSize = 52, .bits = 16, .compression = bmp::kBitfields,
               .masks = {0x7C00, 0x03E0, 0x001F}, .pixels = {0x34, 0x92, 0, 0}};
  b = ReadBmp(f.Build());
  ASSERT_EQ(b.BitsPerPixel(), 16);
  EXPECT_EQ(Bytes(b.Bits(), b.Bits() + 4), f.pixels);

  // BI_ALPHABITFIELDS: four masks after a 40-byte header.
  f = TestFile{.bits = 32, .compression = bmp::kAlphaBitfields,
               .masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, .pixels = {1, 2, 3, 4}};
  b = ReadBmp(f.Build());
  EXPECT_EQ(Bytes(b.Bits(), b.Bits() + 4), (Bytes{3, 2, 1, 4}));

  for (auto masks : {std::vector<uint32_t>{0xF0F0, 0x0F00, 0x000F},  // not contiguous
                     std::vector<uint32_t>{0x1F0000, 0x07E0, 0x001F}}) {  // beyond 16 bits
    f = TestFile{.bits = 16, .compression = bmp::kBitfields, .masks = masks, .pixels = {0, 0, 0, 0}};
    ExpectInvalid(f.Build());
  }
}

TEST(BmpReader, RunLengthData) {
  // RLE8 4x3: a run, end of line, a delta over a pixel, an absolute run. Skipped pixels stay 0.
  TestFile f{.width = 4, .height = 3, .bits = 8, .compression = bmp::kRle8,
             .palette = GreyPalette(256)};
  f.pixels = {2, 7, 0, 0, 0, 2, 1, 1, 0, 3, 5, 6, 9, 0, 0, 1};
  Bitmap b = ReadBmp(f.Build());
  EXPECT_EQ(Bytes(b.Bits(), b.Bits() + b.ByteSize()),
            (Bytes{0, 0, 0, 0, 0, 5, 6, 9, 7, 7, 0, 0}));

  // RLE4 5x1: a 3-pixel run of alternating nibbles, then an absolute run of 2; no end code.
  f = TestFile{.width = 5, .bits = 4, .compression = bmp::kRle4, .palette = GreyPalette(16)};
  f.pixels = {3, 0x12, 0, 2, 0xAB, 0, 0, 0};
  b = ReadBmp(f.Build());
  EXPECT_EQ(Bytes(b.Bits(), b.Bits() + 3), (Bytes{0x12, 0x1A, 0xB0}));

  const Bytes bad[] = {
      {5, 1, 0, 1},        // run past the row end
      {0, 2, 5, 0, 0, 1},  // delta past the row end
      {0, 2, 0, 4, 0, 1},  // delta past the image
      {0, 3, 1, 2},        // absolute run cut short
      {2, 1},              // ends with rows left
  };
  for (const Bytes& data : bad) {
    f = TestFile{.width = 4, .height = 3, .bits = 8, .compression = bmp::kRle8,
                 .palette = GreyPalette(256), .pixels = data};
    ExpectInvalid(f.Build());
  }
  f.height = -3;  // RLE cannot be top-down
  f.pixels = {0, 1};
  ExpectInvalid(f.Build());
}

TEST(BmpReader, ShortPaletteMustCoverEveryIndex) {
  TestFile f{.width = 2, .bits = 8, .colorsUsed = 2, .palette = GreyPalette(2)};
  f.pixels = {1, 0, 0, 0};
  const Bitmap b = ReadBmp(f.Build());
  EXPECT_EQ(b.Palette().size(), 256u);
  EXPECT_EQ(b.PixelColor(0, 0), (RGBQuad{1, 1, 1, 0}));
  f.pixels = {1, 2, 0, 0};
  ExpectInvalid(f.Build());
}

TEST(BmpReader, HostileHeadersFailWithoutAllocating) {
  const TestFile base{.width = 4, .height = 2, .bits = 8, .palette = GreyPalette(256),
                      .pixels = Bytes(8, 0)};
  ASSERT_NO_THROW(ReadBmp(base.Build()));
  auto patched = [&](size_t offset, uint32_t value) {
    Bytes f = base.Build();
    Store32(&f[offset], value);
    return f;
  };
  ExpectInvalid(patched(0, 0x0000'4D42 | 0x4D42'0000));  // "BMBM" where "BM" then size are
  ExpectInvalid(patched(10, 40000));                     // bfOffBits past the end
  ExpectInvalid(patched(10, 20));                        // bfOffBits inside the header
  ExpectInvalid(patched(14, 66));                        // unknown header size
  ExpectInvalid(patched(18, uint32_t(-4)));              // negative width
  ExpectInvalid(patched(22, uint32_t(INT_MIN)));         // height that cannot be negated
  ExpectInvalid(patched(26, 0x0008'0000));               // zero planes
  ExpectInvalid(patched(26, 0x0002'0001));               // 2 bits per pixel
  ExpectInvalid(patched(30, bmp::kJpeg));
  ExpectInvalid(patched(30, bmp::kBitfields));           // not for 8 bits

  Bytes huge = patched(18, 100000);
  Store32(&huge[22], 100000);
  EXPECT_TRUE(Refused(huge));
  Store32(&huge[30], bmp::kRle8);  // RLE can claim any size in a few bytes
  EXPECT_THROW(ReadBmp(huge), std::bad_alloc);

  // Every truncation of a file is refused (this one's rows have no padding).
  const Bytes whole = base.Build();
  for (size_t n = 0; n < whole.size(); ++n) EXPECT_TRUE(Refused(Bytes(whole.begin(), whole.begin() + n))) << n;
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
