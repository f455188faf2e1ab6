// The program as a package puts it on a machine: `cmake --install` into a staging root, and the
// Debian package made by CPack unpacked into a throwaway root; the installed program runs from
// there through its symlink in bin/.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

// Every file and folder below root with its size and modification time.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    struct stat info {};
    ::lstat(entry.path().c_str(), &info);
    files[entry.path()] = std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) +
                          "." + std::to_string(info.st_mtim.tv_nsec);
  }
  return files;
}

// The program folder and what a desktop finds of the program, below an installed /usr.
void ExpectInstalledLayout(const std::string& usr) {
  EXPECT_EQ(fs::read_symlink(usr + "/bin/velkview"), "../lib/velkview/velkview");
  for (const char* file :
       {"lib/velkview/velkview", "lib/velkview/plugins.ini", "lib/velkview/sample.jpg",
        "lib/velkview/skins/vlkskin1.bmp", "lib/velkview/languages/Deutsch.ldf",
        "lib/velkview/plugins/colourpicker/colourpicker.so",
        "lib/velkview/plugins/colourpicker/plugin.pcf", "share/applications/velkview.desktop",
        "share/metainfo/org.velkview.velkview.metainfo.xml",
        "share/icons/hicolor/scalable/apps/velkview.svg",
        "share/icons/hicolor/16x16/apps/velkview.png",
        "share/icons/hicolor/256x256/apps/velkview.png"})
    EXPECT_TRUE(fs::is_regular_file(usr + "/" + file)) << file;
  // A fresh install offers the bundled plugin.
  EXPECT_NE(test::FileText(usr + "/lib/velkview/plugins.ini").find("Name=Colour Picker"),
            std::string::npos);
}

// The converter of the installed program, started through bin/velkview.
void ExpectConverts(const std::string& usr, const std::string& outFolder) {
  fs::create_directories(outFolder);
  const test::ChildRun run = test::RunChild(
      {usr + "/bin/velkview", "--convert", "bmp", "--output", outFolder,
       usr + "/lib/velkview/sample.jpg"},
      {});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(fs::is_regular_file(outFolder + "/sample.bmp")) << run.output;
}

TEST(InstalledProgram, RunsFromAReadOnlyPrefixAndWritesOnlyBelowTheUsersConfig) {
  test::TempDir dir;
  fs::permissions(dir.Path(), fs::perms(0755));  // another user runs the program below
  const std::string usr = dir.File("root/usr");
  const test::ChildRun install = test::RunChild(
      {VELK_CMAKE, "--install", VELK_BUILD_DIR, "--prefix", "/usr"},
      {"DESTDIR=" + dir.File("root")});
  ASSERT_EQ(install.exitCode, 0) << install.output;
  ExpectInstalledLayout(usr);
  ExpectConverts(usr, dir.File("out"));

  // The program folder belongs to someone else: root runs the program as nobody, anyone else
  // takes away the write bits.
  const bool root = ::geteuid() == 0;
  std::vector<std::string> argv = {usr + "/bin/velkview", usr + "/lib/velkview/sample.jpg"};
  if (root) {
    const std::string setpriv = test::FindTool("setpriv");
    if (setpriv.empty()) GTEST_SKIP() << "setpriv is missing";
    argv.insert(argv.begin(), {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"});
  }
  const std::string config = dir.File("config"), home = dir.File("home");
  std::vector<std::string> env = {"HOME=" + home, "XDG_CONFIG_HOME=" + config,
                                  "XDG_RUNTIME_DIR=" + dir.File("runtime"),
                                  "VELKVIEW_CLOSE_WHEN_SHOWN=1"};
  for (const std::string& folder : {config, home, dir.File("runtime")}) {
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms(0700));
    if (root) {
      ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    }
  }
  // On the test's X server when it has one (its cookie made readable to that user).
  if (std::getenv("DISPLAY")) {
    env.push_back("QT_QPA_PLATFORM=xcb");
    if (const char* cookie = std::getenv("XAUTHORITY")) {
      fs::copy_file(cookie, dir.File("Xauthority"));
      fs::permissions(dir.File("Xauthority"), fs::perms(0644));
      env.push_back("XAUTHORITY=" + dir.File("Xauthority"));
    }
  }
  const std::string prefix = dir.File("root");
  const auto writeBits = [&](fs::perm_options change) {
    for (const auto& entry : fs::recursive_directory_iterator(prefix))
      if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_write, change);
  };
  if (!root) writeBits(fs::perm_options::remove);
  const auto before = Snapshot(prefix);

  test::KillPlan hang;
  hang.afterSeconds = 60;
  const test::ChildRun run = test::RunChild(argv, env, hang);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  // No box but the one of a machine without a sound card.
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("message:", 0) == 0) {
      EXPECT_NE(line.find("No mixer"), std::string::npos) << line;
    }
  EXPECT_EQ(Snapshot(prefix), before);
  // The first run's skin defaults went to the user's copy, beside the settings.
  EXPECT_NE(test::FileText(config + "/velkview/skins.ini").find("Color1="), std::string::npos)
      << run.output;
  EXPECT_TRUE(fs::is_regular_file(config + "/velkview/hkcu.reg"));
  if (!root) writeBits(fs::perm_options::add);  // so the folder can be removed
}

// The Debian package CPack makes of the build, in folder; empty (after a failure) when none.
std::string PackDeb(const std::string& folder) {
  const test::ChildRun pack = test::RunChild(
      {VELK_CPACK, "-G", "DEB", "--config", VELK_BUILD_DIR "/CPackConfig.cmake", "-B", folder},
      {});
  EXPECT_EQ(pack.exitCode, 0) << pack.output;
  if (fs::is_directory(folder))
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path().extension() == ".deb") return entry.path();
  ADD_FAILURE() << "no package: " << pack.output;
  return {};
}

TEST(InstalledProgram, DebianPackageUnpacksAndRuns) {
  const std::string dpkgDeb = test::FindTool("dpkg-deb");
  if (dpkgDeb.empty()) GTEST_SKIP() << "dpkg-deb is missing";
  test::TempDir dir;
  const std::string deb = PackDeb(dir.File("deb"));
  ASSERT_FALSE(deb.empty());

  // The libraries it runs on, never a build package.
  const test::ChildRun depends = test::RunChild({dpkgDeb, "-f", deb, "Depends"}, {});
  for (const char* package :
       {"libqt6widgets6", "qt6-qpa-plugins", "libjpeg62-turbo", "libasound2", "hicolor-icon-theme"})
    EXPECT_NE(depends.output.find(package), std::string::npos) << depends.output;
  EXPECT_EQ(depends.output.find("-dev"), std::string::npos) << depends.output;

  ASSERT_EQ(test::RunChild({dpkgDeb, "-x", deb, dir.File("root")}, {}).exitCode, 0);
  // Installed-Size as dpkg counts it: each file in KiB rounded up, 1 for a folder or a link.
  uintmax_t kib = 1;  // the root folder
  for (const auto& entry : fs::recursive_directory_iterator(dir.File("root")))
    kib += entry.is_regular_file() && !entry.is_symlink() ? (entry.file_size() + 1023) / 1024 : 1;
  EXPECT_EQ(test::RunChild({dpkgDeb, "-f", deb, "Installed-Size"}, {}).output,
            std::to_string(kib) + "\n");
  const std::string usr = dir.File("root/usr");
  ExpectInstalledLayout(usr);
  const test::ChildRun version = test::RunChild({usr + "/bin/velkview", "--version"}, {});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.output, "velkview " VELK_VERSION "\n");
  ExpectConverts(usr, dir.File("out"));
}

// The package as dpkg installs it into a throwaway root (its own database, the libraries taken
// from this machine), used as root and as another user, then removed: everything goes with it,
// as nothing the runs wrote lands below /usr. And lintian finds nothing to warn about.
TEST(InstalledProgram, DebianPackageIsLintianCleanAndLeavesNothingBehind) {
  const std::string dpkg = test::FindTool("dpkg"), lintian = test::FindTool("lintian");
  ASSERT_FALSE(dpkg.empty() || lintian.empty()) << "tools/deps.sh installs lintian";
  test::TempDir dir;
  fs::permissions(dir.Path(), fs::perms(0755));  // another user runs the program below
  const std::string deb = PackDeb(dir.File("deb"));
  ASSERT_FALSE(deb.empty());

  const test::ChildRun lint = test::RunChild({lintian, "--tag-display-limit", "0", deb}, {});
  EXPECT_EQ(lint.exitCode, 0) << lint.output;
  for (const char* level : {"E: ", "W: "})
    EXPECT_EQ(lint.output.find(level), std::string::npos) << lint.output;

  const std::string root = dir.File("root");
  for (const char* folder : {"info", "updates", "triggers"})
    fs::create_directories(root + "/var/lib/dpkg/" + folder);
  WriteFileAtomically(root + "/var/lib/dpkg/status", std::string());
  const test::ChildRun install =
      test::RunChild({dpkg, "--root=" + root, "--force-depends", "--force-not-root", "-i", deb},
                     {});
  ASSERT_EQ(install.exitCode, 0) << install.output;
  EXPECT_TRUE(fs::is_regular_file(root + "/usr/share/man/man1/velkview.1.gz"));
  EXPECT_TRUE(fs::is_regular_file(root + "/usr/share/doc/velkview/copyright"));
  const auto installed = Snapshot(root + "/usr");

  // Root, who could write the program folder, then a user who cannot (when the test is root).
  const bool isRoot = ::geteuid() == 0;
  const std::string setpriv = test::FindTool("setpriv");
  for (const bool asUser : {false, true}) {
    if (asUser && (!isRoot || setpriv.empty())) continue;
    SCOPED_TRACE(asUser ? "as a user" : "as root");
    const std::string home = dir.File(asUser ? "user" : "admin");
    fs::create_directories(home + "/Desktop");
    if (asUser)
      for (const auto& entry : fs::recursive_directory_iterator(home))
        ASSERT_EQ(::chown(entry.path().c_str(), 65534, 65534), 0);
    if (asUser) ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
    std::vector<std::string> argv = {root + "/usr/bin/velkview",
                                     root + "/usr/lib/velkview/sample.jpg"};
    if (asUser)
      argv.insert(argv.begin(), {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"});
    test::KillPlan hang;
    hang.afterSeconds = 60;
    const test::ChildRun run = test::RunChild(
        argv,
        {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config", "XDG_DATA_HOME",
         "XDG_RUNTIME_DIR=" + home, "QT_QPA_PLATFORM=offscreen", "VELKVIEW_CLOSE_WHEN_SHOWN=1"},
        hang);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(fs::is_regular_file(home + "/.config/velkview/skins.ini")) << run.output;
    // The installed entry is the menu's; the desktop folder that exists gets a launcher.
    EXPECT_FALSE(fs::exists(home + "/.local/share/applications")) << run.output;
    EXPECT_TRUE(fs::is_regular_file(home + "/Desktop/Velk's Jpeg Viewer.desktop")) << run.output;
    EXPECT_EQ(Snapshot(root + "/usr"), installed);
  }

  const test::ChildRun remove =
      test::RunChild({dpkg, "--root=" + root, "--force-not-root", "-r", "velkview"}, {});
  EXPECT_EQ(remove.exitCode, 0) << remove.output;
  EXPECT_EQ(remove.output.find("not empty"), std::string::npos) << remove.output;
  EXPECT_FALSE(fs::exists(root + "/usr")) << remove.output;
}

// The desktop entry and the AppStream metadata as the desktop's own validators read them.
TEST(InstalledProgram, DesktopEntryAndMetadataPassTheValidators) {
  const std::string desktop = VELK_SOURCE_DIR "/resources/desktop/";
  const std::vector<std::string> checks[] = {
      {"desktop-file-validate", desktop + "velkview.desktop"},
      {"appstreamcli", "validate", "--no-net", "--pedantic",
       desktop + "org.velkview.velkview.metainfo.xml"},
  };
  for (std::vector<std::string> check : checks) {
    check[0] = test::FindTool(check[0]);
    ASSERT_FALSE(check[0].empty()) << "tools/deps.sh installs the validators";
    const test::ChildRun run = test::RunChild(check, {});
    EXPECT_EQ(run.exitCode, 0) << check[1] << ": " << run.output;
    EXPECT_EQ(run.output.find("W:"), std::string::npos) << run.output;
  }
}

}  // namespace
}  // namespace velk
