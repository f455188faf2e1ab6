#include "image/tiff_writer.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "image/tiff_file.h"
#include "image/tiff_reader.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "support/pnm.h"
#include "support/temp_dir.h"
#include "support/testdata.h"

namespace velk {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

struct Entry {
  uint32_t tag, type, count, value;
  friend bool operator==(const Entry&, const Entry&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << "{" << e.tag << ", " << e.type << ", " << e.count << ", " << e.value << "}";
  }
};

std::vector<Entry> EntriesAt(const Bytes& file, uint32_t at) {
  std::vector<Entry> entries;
  for (uint32_t i = 0, n = U16(file, at); i < n; ++i) {
    const size_t e = at + 2 + 12 * i;
    entries.push_back({U16(file, e), U16(file, e + 2), U32(file, e + 4), U32(file, e + 8)});
  }
  return entries;
}

// Reads our own output back through our reader; asserts it is accepted without a message.
Bitmap ReadBack(const Bytes& file) {
  ScopedScriptedDialogs dialogs;
  TFileTiff tiff;
  tiff.Open(MemoryTiffSource(file), "written.tif");
  Bitmap bitmap;
  EXPECT_TRUE(LoadTiffIntoBitmap(tiff, bitmap));
  EXPECT_TRUE(dialogs->messages.empty()) << ::testing::PrintToString(dialogs->Texts());
  return bitmap;
}

// A bitmap whose every pixel differs from its neighbours, palette entries all distinct.
Bitmap Pattern(int width, int height, int bits) {
  Bitmap bitmap(width, height, bits);
  for (size_t i = 0; i < bitmap.Palette().size(); ++i)
    bitmap.Palette()[i] = {uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 31 + 3), 0};
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    const size_t used = (size_t(width) * bits + 7) / 8;
    for (size_t i = 0; i < used; ++i) row[i] = uint8_t(i * 37 + y * 101 + 5);
    if (bits == 16)  // 5-5-5: keep the top bit clear
      for (size_t i = 1; i < used; i += 2) row[i] &= 0x7F;
    if (size_t(width) * bits % 8)  // bits past the last pixel stay clear
      row[used - 1] &= uint8_t(0xFF << (8 - size_t(width) * bits % 8));
  }
  return bitmap;
}

TEST(TiffWriter, PaletteLayoutIsExact) {
  Bitmap bitmap = Pattern(10, 3, 8);
  const Bytes file = WriteBitmapAsTiff(bitmap);
  ASSERT_EQ(file.size(), 1786u);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{'I', 'I', 42, 0}));
  EXPECT_EQ(U32(file, 4), 1600u);
  // Colour map: all reds, then greens, then blues, each component x 256.
  EXPECT_EQ(U16(file, 8 + 2 * 5), bitmap.Palette()[5].red * 256u);
  EXPECT_EQ(U16(file, 8 + 512 + 2 * 5), bitmap.Palette()[5].green * 256u);
  EXPECT_EQ(U16(file, 8 + 1024 + 2 * 255), bitmap.Palette()[255].blue * 256u);
  EXPECT_EQ(U32(file, 1544), 877u);
  EXPECT_EQ(U32(file, 1548), 10u);
  EXPECT_EQ(U32(file, 1552), 877u);
  EXPECT_EQ(std::string(file.begin() + 1560, file.begin() + 1570), "Quorbitane");
  EXPECT_EQ(Bytes(file.begin() + 1570, file.begin() + 1580),
            Bytes(bitmap.ScanLine(0), bitmap.ScanLine(0) + 10));
  EXPECT_EQ(Bytes(file.begin() + 1590, file.begin() + 1600),
            Bytes(bitmap.ScanLine(2), bitmap.ScanLine(2) + 10));
  const std::vector<Entry> expected = {
      {254, 4, 1, 0},    {256, 3, 1, 10},   {257, 3, 1, 3}, {258, 3, 1, 8},     {259, 3, 1, 1},
      {262, 3, 1, 3},    {273, 4, 1, 1570}, {277, 3, 1, 1}, {278, 4, 1, 3},     {279, 4, 1, 30},
      {282, 5, 1, 1544}, {283, 5, 1, 1552}, {296, 3, 1, 2}, {305, 2, 10, 1560}, {320, 3, 768, 8}};
  EXPECT_EQ(EntriesAt(file, 1600), expected);
  EXPECT_EQ(U32(file, 1600 + 2 + 15 * 12), 0u);
  EXPECT_EQ(ReadBack(file), bitmap);
}

TEST(TiffWriter, RgbLayoutIsExact) {
  Bitmap bitmap(2, 2, 24);
  for (int y = 0; y < 2; ++y)
    for (int i = 0; i < 6; ++i) bitmap.ScanLine(y)[i] = uint8_t(10 * y + i);
  const Bytes file = WriteBitmapAsTiff(bitmap);
  ASSERT_EQ(file.size(), 238u);
  EXPECT_EQ(U32(file, 4), 52u);
  EXPECT_EQ(U32(file, 8), 877u);
  EXPECT_EQ(U32(file, 20), 10u);
  EXPECT_EQ(Bytes(file.begin() + 24, file.begin() + 30), (Bytes{8, 0, 8, 0, 8, 0}));
  EXPECT_EQ(std::string(file.begin() + 30, file.begin() + 40), "Quorbitane");
  EXPECT_EQ(Bytes(file.begin() + 40, file.begin() + 52),
            (Bytes{2, 1, 0, 5, 4, 3, 12, 11, 10, 15, 14, 13}));
  const std::vector<Entry> expected = {
      {254, 4, 1, 0}, {256, 3, 1, 2},  {257, 3, 1, 2}, {258, 3, 3, 24}, {259, 3, 1, 1},
      {262, 3, 1, 2}, {273, 4, 1, 40}, {277, 3, 1, 3}, {278, 4, 1, 2},  {279, 4, 1, 12},
      {282, 5, 1, 8}, {283, 5, 1, 16}, {284, 3, 1, 1}, {296, 3, 1, 2},  {305, 2, 10, 30}};
  EXPECT_EQ(EntriesAt(file, 52), expected);
  EXPECT_EQ(ReadBack(file), bitmap);
}

TEST(TiffWriter, EveryDepthRoundTrips) {
  const struct {
    int bits, width, height, storedBits;
  } cases[] = {{1, 13, 5, 1},  {1, 70001, 2, 1}, {4, 7, 3, 4},   {4, 9, 4, 4},  {8, 5, 3, 8},
               {16, 7, 3, 24}, {24, 5, 4, 24},   {24, 1, 1, 24}, {32, 3, 2, 24},
               {24, 301, 300, 24}};  // padded rows in a strip longer than one read
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bits << " bits, " << c.width << " x " << c.height);
    const Bitmap bitmap = Pattern(c.width, c.height, c.bits);
    const Bytes file = WriteBitmapAsTiff(bitmap);
    // Every column is kept; widths beyond 16 bits are LONG.
    EXPECT_EQ(EntriesAt(file, U32(file, 4))[1],
              (Entry{256, c.width > 0xFFFF ? 4u : 3u, 1, uint32_t(c.width)}));
    const Bitmap back = ReadBack(file);
    EXPECT_EQ(back.BitsPerPixel(), c.storedBits);
    EXPECT_EQ(test::CompareRgb(test::ToRgb(bitmap), test::ToRgb(back)), "");
  }
  EXPECT_TRUE(WriteBitmapAsTiff(Bitmap()).empty());
}

TEST(TiffWriter, SaveReplacesTheFileOrThrows) {
  test::TempDir dir;
  dir.Write("out.tif", "old contents");
  const Bitmap bitmap = Pattern(3, 3, 24);
  SaveBitmapAsTiff(dir.File("out.tif"), bitmap);
  const std::string saved = dir.Read("out.tif");
  EXPECT_EQ(Bytes(saved.begin(), saved.end()), WriteBitmapAsTiff(bitmap));
  EXPECT_THROW(SaveBitmapAsTiff(dir.File("no/such/folder/out.tif"), bitmap), EFileError);
}

// --- libtiff's tools as oracles ----------------------------------------------------------------

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveTool(const char* name) {
  return Shell(std::string("command -v ") + name + " >/dev/null 2>&1") == 0;
}

TEST(TiffWriterOracle, LibtiffReadsWhatWeWrite) {
  if (!HaveTool("tiffinfo") || !HaveTool("tiffdump") || !HaveTool("tiff2rgba"))
    GTEST_SKIP() << "libtiff's tools (libtiff-tools) are not installed";
  test::TempDir dir;
  const struct {
    int bits, width, height;
  } cases[] = {{1, 13, 5}, {4, 7, 3}, {8, 10, 3}, {16, 5, 2}, {24, 5, 4}, {32, 3, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bits << " bits");
    const Bitmap bitmap = Pattern(c.width, c.height, c.bits);
    const std::string in = dir.File("in.tif"), out = dir.File("rgb.tif"), log = dir.File("log");
    SaveBitmapAsTiff(in, bitmap);
    // Any warning or error from libtiff ends up in the log, except for the Software string,
    // which this program has always written without a terminating zero.
    const std::string clean = " >'" + log + "' 2>&1 && ! grep -v 'Software.*null byte' '" + log +
                              "' | grep -qi 'warn\\|error'";
    EXPECT_EQ(Shell("tiffinfo -D '" + in + "'" + clean), 0) << dir.Read("log");
    EXPECT_EQ(Shell("tiffdump '" + in + "'" + clean), 0) << dir.Read("log");
    ASSERT_EQ(Shell("tiff2rgba -c none -n '" + in + "' '" + out + "' 2>'" + log + "'"), 0)
        << dir.Read("log");
    const std::string rgba = dir.Read("rgb.tif");
    const Bitmap decoded = ReadBack(Bytes(rgba.begin(), rgba.end()));
    EXPECT_EQ(test::CompareRgb(test::ToRgb(bitmap), test::ToRgb(decoded)), "");
  }
}

TEST(TiffWriterOracle, SharedImagesSurviveWriteAndRead) {
  VELK_REQUIRE_TESTDATA();
  for (const auto& image : test::TestImages("tiff", "good")) {
    SCOPED_TRACE(image.file);
    ScopedScriptedDialogs dialogs;
    Bitmap decoded;
    ASSERT_TRUE(LoadTiffIntoBitmap(image.Path(), decoded));
    const Bitmap again = ReadBack(WriteBitmapAsTiff(decoded));
    EXPECT_EQ(test::CompareRgb(test::ToRgb(decoded), test::ToRgb(again)), "");
  }
}

}  // namespace
}  // namespace velk
