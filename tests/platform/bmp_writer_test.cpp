#include <gtest/gtest.h>

#include <random>

#include "platform/bmp_codec.h"
#include "platform/errors.h"
#include "support/temp_dir.h"
#include "support/testdata.h"

namespace velk {
namespace {

using Bytes = std::vector<uint8_t>;

// Random pixels (padding too) and a random palette, as any decode could leave them.
Bitmap RandomBitmap(int width, int height, int bits, std::mt19937& random) {
  Bitmap b(width, height, bits);
  for (size_t i = 0; i < b.ByteSize(); ++i) b.Bits()[i] = uint8_t(random());
  for (RGBQuad& c : b.Palette()) c = RGBQuad{uint8_t(random()), uint8_t(random()), uint8_t(random()), 0};
  return b;
}

TEST(BmpWriter, RoundTripsEveryDepthAndOddWidths) {
  std::mt19937 random(7);
  for (int bits : {1, 4, 8, 16, 24, 32})
    for (int width : {1, 3, 7, 13, 33}) {
      const Bitmap b = RandomBitmap(width, 3, bits, random);
      EXPECT_EQ(ReadBmp(WriteBmp(b)), b) << bits << " bits, width " << width;
    }
}

TEST(BmpWriter, WritesInfoHeaderAndBottomUpRows) {
  Bitmap b(2, 2, 24);
  const Bytes top = {1, 2, 3, 4, 5, 6}, bottom = {7, 8, 9, 10, 11, 12};
  std::copy(top.begin(), top.end(), b.ScanLine(0));
  std::copy(bottom.begin(), bottom.end(), b.ScanLine(1));
  const Bytes expected = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header: size 70, pixels at 54
      40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,            // header size, width, height (bottom-up)
      1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,           // planes, bits, BI_RGB, image size
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // resolution, colours used and important
      7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0};
  EXPECT_EQ(WriteBmp(b), expected);
}

TEST(BmpWriter, PaletteBitmapsCarryTheirPalette) {
  Bitmap b(3, 1, 4);
  b.Palette()[15] = RGBQuad{1, 2, 3, 0};
  const Bytes file = WriteBmp(b);
  EXPECT_EQ(file[10], 14 + 40 + 16 * 4);  // bfOffBits
  EXPECT_EQ(file[46], 16);                // biClrUsed
  EXPECT_EQ(Bytes(file.begin() + 114, file.begin() + 118), (Bytes{1, 2, 3, 0}));
}

// Equal to the first decode, hence to the reference the reader's tests hold it to.
TEST(BmpWriter, RoundTripsTestdataFiles) {
  VELK_REQUIRE_TESTDATA();
  for (const auto& row : test::TestImages("bmp", "good")) {
    const Bitmap first = LoadBmpFile(row.Path());
    EXPECT_EQ(ReadBmp(WriteBmp(first)), first) << row.file;
  }
}

TEST(BmpWriter, SavesFilesAndReportsFailure) {
  test::TempDir dir;
  std::mt19937 random(1);
  const Bitmap b = RandomBitmap(5, 4, 8, random);
  SaveBmpFile(b, dir.File("a.bmp"));
  EXPECT_EQ(LoadBmpFile(dir.File("a.bmp")), b);

  const std::string path = dir.File("missing/a.bmp");
  try {
    SaveBmpFile(b, path);
    FAIL();
  } catch (const EFileError& e) {
    EXPECT_EQ(e.what(), "Cannot create file \"" + path + "\".");
  }
}

}  // namespace
}  // namespace velk
