// Files that change while the program has them listed: the running program steps through a
// folder (a test hook presses Down on SIGUSR1) whose files were deleted, emptied, cut short,
// replaced by another kind, swapped for a pipe or locked after the listing; then the selected
// file and the whole folder go. Each gives its reason, the program stays usable and ends as
// usual.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "image/jpeg_codec.h"
#include "image/tiff_writer.h"
#include "platform/atomic_file.h"
#include "platform/bmp_codec.h"
#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

Bitmap Gradient(int width, int height) {
  Bitmap bitmap(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(x ^ y);
    }
  return bitmap;
}

TEST(FilesUnderfoot, EachChangeGivesItsReasonAndTheProgramGoesOn) {
  const bool root = ::geteuid() == 0;
  const std::string setpriv = test::FindTool("setpriv");
  // A locked file is readable by root, so root runs the program as nobody.
  if (root && setpriv.empty()) GTEST_SKIP() << "setpriv is missing";
  test::TempDir dir;
  const std::string pictures = dir.File("pictures"), config = dir.File("config");
  fs::create_directories(pictures);
  fs::create_directories(config);
  fs::permissions(dir.Path(), fs::perms::all);
  fs::permissions(config, fs::perms::all);
  const std::vector<uint8_t> small = EncodeJpeg(Gradient(64, 48), {});
  const std::vector<uint8_t> large = EncodeJpeg(Gradient(256, 192), {});
  const auto file = [&](const std::string& name) { return pictures + "/" + name; };
  ASSERT_TRUE(WriteFileAtomically(file("a_start.jpg"), small));
  ASSERT_TRUE(WriteFileAtomically(file("b_gone.jpg"), small));
  SaveBmpFile(Gradient(8, 8), file("c_empty.bmp"));
  ASSERT_TRUE(WriteFileAtomically(file("d_half.jpg"), large));
  ASSERT_TRUE(WriteFileAtomically(file("e_swapped.gif"), std::string("GIF89a")));
  ASSERT_TRUE(WriteFileAtomically(file("f_pipe.jpg"), small));
  ASSERT_TRUE(WriteFileAtomically(file("g_locked.tif"), WriteBitmapAsTiff(Gradient(8, 8))));
  SaveBmpFile(Gradient(8, 8), file("h_last.bmp"));

  // After the listing, before each is selected.
  const auto change = [&] {
    fs::remove(file("b_gone.jpg"));
    fs::resize_file(file("c_empty.bmp"), 0);
    const size_t scan = std::string(large.begin(), large.end()).find("\xFF\xDA");
    fs::resize_file(file("d_half.jpg"), scan + (large.size() - scan) / 2);
    ASSERT_TRUE(WriteFileAtomically(file("e_swapped.gif"), small));
    fs::remove(file("f_pipe.jpg"));
    ASSERT_EQ(::mkfifo(file("f_pipe.jpg").c_str(), 0666), 0);
    fs::permissions(file("g_locked.tif"), fs::perms::none);
  };
  const std::string cannotShow = R"(\|The picture cannot be shown: Cannot open file "[^"]*/)";
  const std::string box = R"(message: Cannot open file "[^"]*/)";
  const std::string thenPicture = R"((?:picture: [^\n]*\n)*?picture: )";
  const std::string six = R"(\|6 entries\n)";
  const auto down = [](int pid) { ::kill(pid, SIGUSR1); };
  test::KillPlan plan;
  plan.afterSeconds = 90;  // a run that hangs still ends the test
  plan.steps = {
      {R"(picture: a_start\.jpg\|[^|\n]*\(64 x 48\)\|\|8 entries\n)", [&](int) { change(); }},
      // The list follows the folder: the deleted file and the pipe leave it (only files are
      // listed), the selection stays.
      {R"(picture: a_start\.jpg\|[^|\n]*\(64 x 48\)\|)" + six, down},
      {box + R"(c_empty\.bmp"\. The file is empty\.\n)" + thenPicture + "c_empty\\.bmp\\|" +
           cannotShow + R"(c_empty\.bmp"\. The file is empty)" + six, down},
      {R"(picture: d_half\.jpg\|[^|\n]*\(256 x 192\)\|The picture is damaged: )"
       R"(Premature end of JPEG file)" + six, down},
      {R"(message: [^\n]+\n)" + thenPicture +
           R"(e_swapped\.gif\|\|The picture cannot be shown: [^|\n]+)" + six, down},
      {box + R"(g_locked\.tif"\. Permission denied\.\n)" + thenPicture + "g_locked\\.tif\\|" +
           cannotShow + R"(g_locked\.tif"\. Permission denied)" + six, down},
      {R"(picture: h_last\.bmp\|[^|\n]*\(8 x 8\)\|)" + six,
       [&](int) { fs::remove(file("h_last.bmp")); }},
      // The selected file deleted: the one before it is shown, with its reason.
      {box + R"(g_locked\.tif"\. Permission denied\.\n)" + thenPicture + "g_locked\\.tif\\|" +
           cannotShow + R"(g_locked\.tif"\. Permission denied\|5 entries\n)",
       [&](int) { fs::remove_all(pictures); }},
      // The folder taken away: nothing listed, and the program still ends as a logout ends it.
      {R"(picture: [^\n]*\|0 entries\n)", [](int pid) { ::kill(pid, SIGTERM); }},
  };
  std::string command = "exec ";
  if (root) command += "'" + setpriv + "' --reuid=65534 --regid=65534 --clear-groups ";
  command += "'" + test::ProgramPath() + "' '" + file("a_start.jpg") + "'";
  const test::ChildRun run = test::RunChild(
      {"/bin/sh", "-c", command},
      {"HOME=" + dir.Path(), "XDG_CONFIG_HOME=" + config, "QT_QPA_PLATFORM=offscreen",
       "VELKVIEW_REPORT_PICTURES=1"},
      plan);
  EXPECT_EQ(run.stepsDone, plan.steps.size()) << run.output;
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(fs::exists(config + "/velkview/hkcu.reg"));  // the settings were saved
}

}  // namespace
}  // namespace velk
