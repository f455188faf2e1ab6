// The command-line converter writing where space or permission runs out: each output is whole
// or absent (no partial file, no temporary left), and the summary counts what happened.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/bmp_codec.h"
#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

TEST(ConvertUnderPressure, OutputsAreWholeOrAbsentAndTheSummaryCountsThem) {
  const bool root = ::geteuid() == 0;
  const std::string setpriv = test::FindTool("setpriv");
  const struct {
    const char* what;
    bool fullDisk;  // a 64 KiB file system: the large output does not fit
    std::set<std::string> written;
    const char* failure;  // a file's line
    const char* summary;
  } cases[] = {
      {"full file system", true, {"a.bmp", "c.bmp"}, "b.bmp: Cannot create file",
       "1 errors occurred\n2 files successfully converted\n"},
      {"read-only folder", false, {}, "c.bmp: Cannot create file",
       "3 errors occurred\n0 files successfully converted\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    fs::permissions(dir.Path(), fs::perms::all);
    SaveBmpFile(Bitmap(8, 8, 24), dir.File("a.bmp"));
    SaveBmpFile(Bitmap(200, 200, 24), dir.File("b.bmp"));  // 120 KB
    SaveBmpFile(Bitmap(8, 8, 24), dir.File("c.bmp"));
    const std::string out = dir.File("out");
    fs::create_directories(out);
    std::string command = "exec ";
    if (c.fullDisk) {
      if (::mount("tmpfs", out.c_str(), "tmpfs", 0, "size=64k") != 0) {
        std::cout << "skipped: cannot mount a small file system here (needs root)\n";
        continue;
      }
    } else {
      fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec |
                               fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
      // Root writes anywhere: it converts as nobody.
      if (root && setpriv.empty()) continue;
      if (root) command += "'" + setpriv + "' --reuid=65534 --regid=65534 --clear-groups ";
    }
    command += "'" + test::ProgramPath() + "' --convert bmp --output '" + out + "' '" +
               dir.File("a.bmp") + "' '" + dir.File("b.bmp") + "' '" + dir.File("c.bmp") + "'";
    const test::ChildRun run = test::RunChild({"/bin/sh", "-c", command}, {"HOME=" + dir.Path()});
    const std::set<std::string> left = Names(out);
    if (c.fullDisk) ::umount(out.c_str());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(left, c.written) << run.output;
    EXPECT_NE(run.output.find(c.failure), std::string::npos) << run.output;
    const size_t summary = run.output.find(c.summary);
    EXPECT_NE(summary, std::string::npos) << run.output;
    EXPECT_EQ(run.output.size(), summary + std::string(c.summary).size()) << run.output;
  }
}

}  // namespace
}  // namespace velk
