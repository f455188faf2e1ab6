// The program at the end of a session: a logout's SIGTERM, a closed terminal's SIGHUP and
// Ctrl+C's SIGINT end it as its close button does, settings saved; and what a desktop shows of
// its window.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

TEST(SessionEnd, EndingSignalsSaveTheSettingsAsTheCloseButtonDoes) {
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(strsignal(signal));
    test::TempDir dir;
    const std::string program = test::CopyProgramFolder(dir.File("program"));
    // A first run has no settings until it closes; the folder it opened is one of them.
    const std::string pictures = dir.File("pictures");
    fs::create_directories(pictures);
    fs::copy_file(dir.File("program/sample.jpg"), pictures + "/a.jpg");
    test::KillPlan plan;
    plan.signalWhenOutput = "shown: ";
    plan.signal = signal;
    plan.afterSeconds = 60;
    const test::ChildRun run = test::RunChild(
        {program, pictures + "/a.jpg"},
        {"HOME=" + dir.File("home"), "XDG_CONFIG_HOME=" + dir.File("config"),
         "QT_QPA_PLATFORM=offscreen", "VELKVIEW_REPORT_SHOWN=1"},
        plan);
    EXPECT_FALSE(run.killed) << run.output;
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string hive = test::FileText(dir.File("config/velkview/hkcu.reg"));
    EXPECT_NE(hive.find("\"Directory\"=\"" + pictures + "\""), std::string::npos) << run.output;
  }
}

// _NET_WM_ICON as the window manager reads it: every size the theme has, not one to scale.
TEST(SessionEnd, TheWindowOffersItsIconFrom16To256Pixels) {
  const std::string xprop = test::FindTool("xprop");
  if (!std::getenv("DISPLAY") || xprop.empty()) GTEST_SKIP() << "needs an X server and xprop";
  test::TempDir dir;
  const std::string program = test::CopyProgramFolder(dir.File("program"));
  const std::string script =
      "'" + program + "' > '" + dir.File("out") + "' 2>&1 & viewer=$!\n"
      "until grep -q 'shown: ' '" + dir.File("out") + "'; do sleep 0.1; done\n"
      "'" + xprop + "' -len 4000000 -name \"Velk's JPEG Viewer\" _NET_WM_ICON\n"
      "kill -TERM $viewer; wait $viewer\n";
  test::KillPlan plan;
  plan.afterSeconds = 60;
  const test::ChildRun run = test::RunChild(
      {"/bin/sh", "-c", script},
      {"HOME=" + dir.File("home"), "XDG_CONFIG_HOME=" + dir.File("config"),
       "QT_QPA_PLATFORM=xcb", "VELKVIEW_REPORT_SHOWN=1"},
      plan);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string icon = "Icon (" + std::to_string(size) + " x " + std::to_string(size) + ")";
    EXPECT_NE(run.output.find(icon), std::string::npos) << run.output.substr(0, 300);
  }
}

}  // namespace
}  // namespace velk
