// Photos taken sideways, large enough to be decoded in bands on several threads, through the
// whole program: the one it starts on and the next, cut short, both shown upright.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/jpeg_codec.h"
#include "platform/atomic_file.h"
#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

// A 1200 x 900 JPEG whose EXIF Orientation (6) says it is to be turned a quarter clockwise.
std::vector<uint8_t> SidewaysJpeg() {
  Bitmap bitmap(1200, 900, 24);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(x ^ y);
    }
  const std::vector<uint8_t> plain = EncodeJpeg(bitmap, {});
  const std::vector<uint8_t> exif = {0xFF, 0xE1, 0, 30, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42,
                                     0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0,
                                     0, 0};
  std::vector<uint8_t> jpeg(plain.begin(), plain.begin() + 2);  // after the start marker
  jpeg.insert(jpeg.end(), exif.begin(), exif.end());
  jpeg.insert(jpeg.end(), plain.begin() + 2, plain.end());
  return jpeg;
}

TEST(SidewaysPhotos, AreShownUprightWholeOrCutShort) {
  test::TempDir dir;
  const std::string pictures = dir.File("pictures"), config = dir.File("config");
  fs::create_directories(pictures);
  fs::create_directories(config);
  const std::vector<uint8_t> jpeg = SidewaysJpeg();
  ASSERT_TRUE(WriteFileAtomically(pictures + "/a_whole.jpg", jpeg));
  const std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 3 / 4));
  ASSERT_TRUE(WriteFileAtomically(pictures + "/b_cut.jpg", cut));
  test::KillPlan plan;
  plan.afterSeconds = 60;
  plan.steps = {
      {R"(picture: a_whole\.jpg\|[^|\n]*\(900 x 1200\)\|\|2 entries\n)",
       [](int pid) { ::kill(pid, SIGUSR1); }},
      {R"(picture: b_cut\.jpg\|[^|\n]*\(900 x 1200\)\|The picture is damaged: )"
       R"(Premature end of JPEG file\|2 entries\n)",
       [](int pid) { ::kill(pid, SIGTERM); }},
  };
  const test::ChildRun run = test::RunChild(
      {test::ProgramPath(), pictures + "/a_whole.jpg"},
      {"HOME=" + dir.Path(), "XDG_CONFIG_HOME=" + config, "QT_QPA_PLATFORM=offscreen",
       "VELKVIEW_REPORT_PICTURES=1"},
      plan);
  EXPECT_EQ(run.stepsDone, plan.steps.size()) << run.output;
  EXPECT_EQ(run.exitCode, 0) << run.output;
}

}  // namespace
}  // namespace velk
