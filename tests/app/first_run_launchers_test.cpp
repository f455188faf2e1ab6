#include "app/first_run_launchers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "chrome/shortcut_link.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

TEST(FirstRunLaunchers, MenuOnlyWithoutAnInstalledEntryDesktopOnlyWhereOneExists) {
  struct Case {
    const char* name;
    bool installedEntry;
    bool desktopExists;
    std::vector<std::string> files;  // relative to the test folder
  };
  const Case cases[] = {
      {"fresh build", false, true, {"menu/velkview.desktop", "desktop/Velk's Jpeg Viewer.desktop"}},
      {"package installed", true, true, {"desktop/Velk's Jpeg Viewer.desktop"}},
      {"no desktop folder", false, false, {"menu/velkview.desktop"}},
      {"package, no desktop folder", true, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    fs::create_directories(dir.File("share/applications"));
    if (c.installedEntry) dir.Write("share/applications/velkview.desktop", "[Desktop Entry]\n");
    if (c.desktopExists) fs::create_directories(dir.File("desktop"));
    std::vector<std::string> files;
    for (const FirstRunLauncher& launcher :
         FirstRunLaunchers(dir.File("menu"), dir.File("desktop"),
                           {dir.File("none"), dir.File("share/applications")}))
      files.push_back(fs::path(launcher.file).lexically_relative(dir.Path()));
    EXPECT_EQ(files, c.files);
  }
}

// The menu launcher as the desktop's validator reads it: named like the package's entry's
// program, a comment that is not the name, the picture types.
TEST(FirstRunLaunchers, TheMenuLauncherPassesTheValidator) {
  const std::string validate = test::FindTool("desktop-file-validate");
  ASSERT_FALSE(validate.empty()) << "tools/deps.sh installs it";
  test::TempDir dir;
  const auto launchers = FirstRunLaunchers(dir.File("menu"), "", {});
  ASSERT_EQ(launchers.size(), 1u);
  TShortcutLink link;
  link.SetShortcutFile(launchers[0].file);
  link.SetName(launchers[0].name);
  link.SetTarget("/opt/velk/velkview");
  link.SetArguments("%F");
  link.SetDescription(kLauncherComment);
  link.SetMimeTypes(kLauncherMimeTypes);
  link.SaveLink();
  const test::ChildRun run = test::RunChild({validate, launchers[0].file}, {});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "");
  EXPECT_NE(link.DesktopEntryText().find("\nName=Velk's Jpeg Viewer\n"), std::string::npos);
}

}  // namespace
}  // namespace velk
