// Lossless turns of JPEG files, against jpegtran's on the same files.
#include "image/jpeg_turn.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "image/jpeg_codec.h"
#include "photo/orientation.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using Bytes = std::vector<uint8_t>;

bool Shell(const std::string& command) {
  return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}
Bytes Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
void Write(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             std::streamsize(bytes.size()));
}
// A picture whose every block differs, so that a wrong turn cannot pass.
Bytes Photo(int width, int height) {
  Bitmap bitmap(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + x * 3;
      p[0] = uint8_t(x * 4), p[1] = uint8_t(y * 5), p[2] = uint8_t((x * y) / 7);
    }
  return EncodeJpeg(bitmap, JpegEncodeOptions{});
}
// As a viewer shows it: decoded, turned by its orientation.
Bitmap Shown(const Bytes& jpeg) {
  JpegDecodeOptions options;
  options.applyOrientation = true;
  return DecodeJpeg(jpeg.data(), jpeg.size(), options);
}
int Orientation(const Bytes& jpeg) {
  // The APP1 segment right after SOI (and a JFIF APP0) that both writers leave there.
  for (size_t at = 2; at + 4 < jpeg.size() && jpeg[at] == 0xFF;) {
    const size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
    if (jpeg[at + 1] == 0xE1) return ExifOrientation(&jpeg[at + 4], length - 2);
    at += 2 + length;
  }
  return 1;
}

struct Case {
  Turn turn;
  const char* jpegtran;  // the same turn by jpegtran
};
constexpr Case kTurns[] = {{Turn::Clockwise, "-rotate 90"},
                           {Turn::Anticlockwise, "-rotate 270"},
                           {Turn::MirrorLeftRight, "-flip horizontal"},
                           {Turn::MirrorTopBottom, "-flip vertical"}};

// Whole MCU blocks: the coefficients move, exactly as jpegtran moves them; every marker stays.
TEST(JpegTurn, WholeBlocksTurnAsJpegtranTurnsThem) {
  if (!Shell("command -v jpegtran")) GTEST_SKIP() << "jpegtran missing";
  test::TempDir dir;
  const Bytes original = Photo(64, 48);
  Write(dir.File("in.jpg"), original);
  for (const Case& c : kTurns) {
    SCOPED_TRACE(c.jpegtran);
    ASSERT_TRUE(Shell(std::string("jpegtran -copy all ") + c.jpegtran + " -outfile '" +
                      dir.File("ref.jpg") + "' '" + dir.File("in.jpg") + "'"));
    const Bytes turned = TurnJpeg(original, c.turn);
    EXPECT_EQ(Shown(turned), Shown(Read(dir.File("ref.jpg"))));
    EXPECT_EQ(Shown(TurnJpeg(turned, Inverse(c.turn))), Shown(original));
  }
}

// A photo taken sideways (Orientation 6) turned a quarter clockwise is stored upside down
// with Orientation 1: half a turn of the stored coefficients. Mirrored as seen, it is the
// stored picture transposed (the other order would transverse it).
TEST(JpegTurn, ThePhotosOrientationIsFoldedIn) {
  if (!Shell("command -v jpegtran") || !Shell("command -v exiftool"))
    GTEST_SKIP() << "jpegtran or exiftool missing";
  test::TempDir dir;
  Write(dir.File("in.jpg"), Photo(64, 48));
  const Case folded[] = {{Turn::Clockwise, "-rotate 180"}, {Turn::MirrorLeftRight, "-transpose"}};
  for (const Case& c : folded)
    ASSERT_TRUE(Shell(std::string("jpegtran -copy all ") + c.jpegtran + " -outfile '" +
                      dir.File(c.jpegtran) + "' '" + dir.File("in.jpg") + "'"));
  ASSERT_TRUE(Shell("exiftool -n -overwrite_original -Orientation=6 '" + dir.File("in.jpg") + "'"));
  const Bytes sideways = Read(dir.File("in.jpg"));
  for (const Case& c : folded) {
    SCOPED_TRACE(c.jpegtran);
    const Bytes turned = TurnJpeg(sideways, c.turn);
    EXPECT_EQ(Orientation(turned), 1);
    EXPECT_EQ(Shown(turned), Shown(Read(dir.File(c.jpegtran))));
  }
}

// Partial MCU blocks at the edges: the stored picture stays as it is and the turn goes into
// the Orientation, in an EXIF segment made for it when there was none.
TEST(JpegTurn, PartialBlocksTurnThroughTheOrientation) {
  const Bytes original = Photo(65, 49);
  for (const Case& c : kTurns) {
    SCOPED_TRACE(c.jpegtran);
    const Bytes turned = TurnJpeg(original, c.turn);
    JpegDecodeOptions stored;
    stored.applyOrientation = false;
    EXPECT_EQ(DecodeJpeg(turned.data(), turned.size(), stored), Shown(original));
    EXPECT_EQ(Shown(turned), Oriented(Shown(original), Orientation(turned)));
    EXPECT_NE(Orientation(turned), 1);
    const Bytes back = TurnJpeg(turned, Inverse(c.turn));
    EXPECT_EQ(Orientation(back), 1);
    EXPECT_EQ(Shown(back), Shown(original));
  }
  EXPECT_THROW(TurnJpeg(Bytes{'n', 'o', 'p', 'e'}, Turn::Clockwise), EJPEGException);
  // A header that claims 65000 x 65000 pixels is refused before anything that size is made.
  Bytes huge = original;
  for (size_t at = 2; at + 9 < huge.size(); ++at)
    if (huge[at] == 0xFF && huge[at + 1] == 0xC0) {
      huge[at + 5] = huge[at + 7] = 0xFD;
      huge[at + 6] = huge[at + 8] = 0xE8;
      break;
    }
  EXPECT_THROW(TurnJpeg(huge, Turn::Clockwise), EJPEGException);
}

}  // namespace
}  // namespace velk
