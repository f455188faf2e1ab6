// The program's command line as a shell user meets it: usage, bad options, no X display, and
// the converter's output folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

TEST(CommandLine, UsageBadOptionsDisplayAndOutputFolder) {
  test::TempDir dir;
  const std::string program = test::ProgramPath();
  const std::string sample = fs::path(program).parent_path() / "sample.jpg";
  fs::create_directories(dir.File("file"));
  const std::string notAFolder = dir.File("plain");
  fs::copy_file(sample, notAFolder);
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> env;
    int exitCode;
    std::string said;     // in the output
    std::string notSaid;  // never in the output
  };
  const Case cases[] = {
      {{"--help"}, {}, 0, "Usage: velkview [OPTION]... [FILE]...\n", "DISPLAY is not set"},
      {{"-h", sample}, {}, 0, "\nEnvironment:\n  DISPLAY", ""},
      {{"--bogus", sample}, {}, 2, "velkview: unknown option --bogus\nUsage: velkview", ""},
      // Wayland alone: one line instead of Qt's abort.
      {{sample},
       {"DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY=wayland-0"},
       1,
       "velkview needs an X11 display (XWayland on a Wayland desktop); DISPLAY is not set\n",
       "plugin"},
      // A display nobody answers: one line of ours without Qt's, no abort.
      {{sample},
       {"DISPLAY=:87", "QT_QPA_PLATFORM"},
       1,
       "velkview could not open the display \":87\" (platform xcb)\n",
       "qt.qpa"},
      {{"--convert", "bmp", "--output", dir.File("made/on/demand"), sample},
       {},
       0,
       "-> " + dir.File("made/on/demand/sample.bmp"),
       ""},
      // Said once, before any file is decoded.
      {{"--convert", "gif", "--output", notAFolder + "/out", sample, sample},
       {},
       1,
       "velkview: cannot create the output folder " + notAFolder + "/out/: Not a directory\n",
       "[1/2]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    std::vector<std::string> argv = c.arguments;
    argv.insert(argv.begin(), program);
    test::KillPlan plan;
    plan.afterSeconds = 60;
    const test::ChildRun run = test::RunChild(argv, c.env, plan);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_NE(run.output.find(c.said), std::string::npos) << run.output;
    if (!c.notSaid.empty()) {
      EXPECT_EQ(run.output.find(c.notSaid), std::string::npos) << run.output;
    }
  }
  EXPECT_TRUE(fs::is_regular_file(dir.File("made/on/demand/sample.bmp")));
}

}  // namespace
}  // namespace velk
