// Real GIF files from the shared test images against their reference decodes and structure.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "gif/gif_frame_render.h"
#include "gif/gif_image_data.h"
#include "gif_test_util.h"
#include "support/pnm.h"
#include "support/testdata.h"

namespace velk {
namespace {

test::RgbImage Crop(const test::RgbImage& image, int left, int top, int width, int height) {
  test::RgbImage out{width, height, {}};
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x)
      out.rgb.insert(out.rgb.end(), image.Pixel(x, y), image.Pixel(x, y) + 3);
  return out;
}

// The first frame's own rectangle cut from the first-frame bitmap, as the references hold it.
test::RgbImage FirstFrame(const GIFImageData& gif) {
  const test::RgbImage screen = test::ToRgb(gif.FirstFrameBitmap(false));
  const TGIFSubImage& frame = gif.Images().front();
  if (frame.Width() == gif.Header().width && frame.Height() == gif.Header().height) return screen;
  return Crop(screen, frame.Left(), frame.Top(), frame.Width(), frame.Height());
}

struct Outcome {
  GIFImageData gif;
  std::string error;  // "" when it loaded
};

Outcome LoadFile(const test::TestImage& row) {
  Outcome out;
  try {
    out.gif.LoadFromFile(row.Path());
  } catch (const std::exception& e) {
    out.error = e.what();
    if (out.error.empty()) out.error = "exception";
  }
  return out;
}

TEST(GifCorpus, DecodesLikeTheReferences) {
  VELK_REQUIRE_TESTDATA();
  const std::vector<test::TestImage> rows = test::TestImages("gif");
  ASSERT_FALSE(rows.empty());
  for (const test::TestImage& row : rows) {
    SCOPED_TRACE(row.file);
    const Outcome o = LoadFile(row);
    if (row.expect == "ERROR" || row.expect == "ERROR-OR-PARTIAL") {
      EXPECT_NE(o.error, "");
      if (row.message != "-") {
        EXPECT_EQ(o.error, row.message);
      }
    } else if (row.message != "-") {
      EXPECT_EQ(o.error, row.message);  // refused as the design prescribes
      continue;
    } else {
      EXPECT_EQ(o.error, "");
    }
    if (row.ref == "-" || row.compare != "exact" || o.gif.Empty()) continue;
    EXPECT_EQ(test::CompareRgb(test::ReadPnm(row.RefPath()), FirstFrame(o.gif)), "");
    const std::string alpha = row.Path() + ".ref-alpha.pgm";
    if (row.extraRefs.find(".ref-alpha.pgm") != std::string::npos) {
      const test::RgbImage expected = test::ReadPnm(alpha);
      const TGIFFrameBitmap& rendered = o.gif.Images()[0].Rendered(o.gif.Header(), false);
      ASSERT_FALSE(rendered.mask.empty());
      for (size_t i = 0; i < rendered.mask.size(); ++i)
        ASSERT_EQ(rendered.mask[i] != 0, expected.rgb[i * 3] == 0) << "pixel " << i;
    }
  }
}

// "frame 1: left 0 top 0 width 70 ..." into name/value pairs.
std::map<std::string, std::string> Fields(const std::string& line) {
  std::map<std::string, std::string> fields;
  std::istringstream in(line.substr(line.find(':') + 1));
  std::string name, value;
  while (in >> name >> value) fields[name] = value;
  return fields;
}

std::string Or(int value, bool present) { return present ? std::to_string(value) : "none"; }

TEST(GifCorpus, ReadsTheStructureTheInfoFilesDescribe) {
  VELK_REQUIRE_TESTDATA();
  for (const test::TestImage& row : test::TestImages("gif")) {
    if (row.expect != "DECODE") continue;
    SCOPED_TRACE(row.file);
    const Outcome o = LoadFile(row);
    ASSERT_EQ(o.error, "");
    std::ifstream info(row.Path() + ".info.txt");
    std::string line;
    size_t frames = 0;
    const TGIFAppExtNSLoop* loop = nullptr;
    for (const TGIFSubImage& frame : o.gif.Images())
      if (!loop) loop = frame.LoopExtension();
    while (std::getline(info, line)) {
      if (line.rfind("loop ", 0) == 0) {
        EXPECT_EQ(line.substr(5, line.find(' ', 5) - 5),
                  loop ? std::to_string(loop->loops) : "none");
      } else if (line.rfind("frames ", 0) == 0) {
        EXPECT_EQ(std::stoul(line.substr(7)), o.gif.Images().size());
      } else if (line.rfind("frame ", 0) == 0) {
        ASSERT_LT(frames, o.gif.Images().size());
        const TGIFSubImage& frame = o.gif.Images()[frames++];
        auto f = Fields(line);
        EXPECT_EQ(f["left"], std::to_string(frame.Left()));
        EXPECT_EQ(f["top"], std::to_string(frame.Top()));
        EXPECT_EQ(f["width"], std::to_string(frame.Width()));
        EXPECT_EQ(f["height"], std::to_string(frame.Height()));
        EXPECT_EQ(f["interlaced"], frame.Interlaced() ? "yes" : "no");
        EXPECT_EQ(f["local_colour_table"], Or(frame.ColorMap().Count(), !frame.ColorMap().Empty()));
        const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
        EXPECT_EQ(f["delay_cs"], Or(control ? control->delay : 0, control));
        EXPECT_EQ(f["disposal"], Or(control ? control->disposal : 0, control));
        EXPECT_EQ(f["transparent_index"], Or(control ? control->transparentColorIndex : 0,
                                             control && control->transparent));
      }
    }
  }
}

TEST(GifCorpus, WritingAndReadingAgainKeepsThePixels) {
  VELK_REQUIRE_TESTDATA();
  for (const test::TestImage& row : test::TestImages("gif", "good")) {
    SCOPED_TRACE(row.file);
    const Outcome o = LoadFile(row);
    ASSERT_EQ(o.error, "");
    const std::vector<uint8_t> bytes = o.gif.SaveToBytes();
    GIFImageData again;
    again.LoadFromMemory(bytes.data(), bytes.size());
    ASSERT_EQ(again.Images().size(), o.gif.Images().size());
    EXPECT_EQ(test::CompareRgb(test::ReadPnm(row.RefPath()), FirstFrame(again)), "");
    for (size_t i = 0; i < again.Images().size(); ++i) {
      const TGIFSubImage &a = o.gif.Images()[i], &b = again.Images()[i];
      ASSERT_EQ(a.PixelCount(), b.PixelCount());
      EXPECT_EQ(0, std::memcmp(a.Data().data(), b.Data().data(), a.PixelCount())) << "frame " << i;
    }
  }
}

}  // namespace
}  // namespace velk
