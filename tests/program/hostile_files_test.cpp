// Files that claim enormous pictures and carry almost nothing: the converter must give the
// right message at once, without reserving what the header claims.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using Bytes = std::vector<uint8_t>;

#ifdef __SANITIZE_ADDRESS__
constexpr long kBoundKiB = 768 * 1024;
#else
constexpr long kBoundKiB = 256 * 1024;
#endif

void Put16(Bytes& b, unsigned v, bool bigEndian = false) {
  if (bigEndian) b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
  else b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
}
void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// A GIF whose logical screen and only frame claim the given sizes, with one pixel of data.
Bytes HugeGif(unsigned screen, unsigned frame) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(b, screen);
  Put16(b, screen);
  b.insert(b.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C});
  for (unsigned v : {0u, 0u, frame, frame}) Put16(b, v);
  b.insert(b.end(), {0, 2, 2, 0x44, 0x01, 0, 0x3B});
  return b;
}

// A baseline grey JPEG header of the given size whose scan ends after a few bytes.
Bytes HugeJpeg(unsigned size) {
  Bytes b = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
  b.insert(b.end(), 64, 1);
  b.insert(b.end(), {0xFF, 0xC0, 0, 11, 8});
  Put16(b, size, true);
  Put16(b, size, true);
  b.insert(b.end(), {1, 1, 0x11, 0});
  for (uint8_t table : {0x00, 0x10}) {
    b.insert(b.end(), {0xFF, 0xC4, 0, 20, table, 0, 1});
    b.insert(b.end(), 14, 0);
    b.push_back(0);
  }
  b.insert(b.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0});
  b.insert(b.end(), 100, 0);
  b.insert(b.end(), {0xFF, 0xD9});
  return b;
}

// An uncompressed 8-bit grey TIFF whose one strip claims byteCount bytes.
Bytes HugeTiff(uint32_t width, uint32_t height, uint32_t byteCount) {
  Bytes b = {'I', 'I', 42, 0};
  Put32(b, 8);
  const uint32_t tags[][3] = {{256, 4, width}, {257, 4, height}, {258, 3, 8},     {259, 3, 1},
                              {262, 3, 1},     {273, 4, 200},    {277, 3, 1},     {278, 4, height},
                              {279, 4, byteCount}};
  Put16(b, 9);
  for (const auto& tag : tags) {
    Put16(b, tag[0]);
    Put16(b, tag[1]);
    Put32(b, 1);
    Put32(b, tag[2]);
  }
  Put32(b, 0);
  b.resize(200, 0);
  b.insert(b.end(), 1000, 0x80);
  return b;
}

TEST(HostileFiles, HugeClaimsEndInTheirMessageWithoutTheMemory) {
  test::TempDir dir;
  struct Case {
    const char* name;
    Bytes bytes;
    const char* message;
  };
  const Case cases[] = {
      {"screen.gif", HugeGif(65535, 1), "Out of memory"},
      {"frame.gif", HugeGif(65535, 65535), "Out of memory"},
      {"dimension.jpg", HugeJpeg(65535), "Maximum supported image dimension is 65500 pixels"},
      {"huge.jpg", HugeJpeg(65500), "Image too large to decode"},
      // Within the size limit: the picture is made, the data runs out at once.
      {"short.jpg", HugeJpeg(18000), "Corrupt JPEG data: premature end of data segment"},
      {"strips.tif", HugeTiff(1000, 1000, 0xFFFFFFFF), "Error reading image data"},
      {"huge.tif", HugeTiff(65536, 65535, 0xFFFFFFFF), "Out Of Memory "},
      {"short.tif", HugeTiff(30000, 30000, 900000000), "Error reading image data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteFileAtomically(dir.File(c.name), c.bytes));
    const test::ChildRun run = test::RunChild(
        {test::ProgramPath(), "--convert", "bmp", "--output", dir.Path(), dir.File(c.name)}, {});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(std::string(c.name) + ": " + c.message + "\n"), std::string::npos)
        << run.output;
    // The claims are gigabytes; the program itself needs a few tens of megabytes (more with
    // AddressSanitizer's shadow memory).
    EXPECT_LT(run.peakMemoryKiB, kBoundKiB);
  }
}

}  // namespace
}  // namespace velk
