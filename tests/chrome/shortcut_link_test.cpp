#include "chrome/shortcut_link.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "scoped_env.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using test::ScopedEnv;
using test::TempDir;

TShortcutLink ViewerLink(const std::string& file) {
  TShortcutLink link;
  link.SetShortcutFile(file);
  link.SetTarget("/opt/velk view/velkview");
  link.SetWorkingDir("/opt/velk view/");
  link.SetDescription(" Velk's JPEG Viewer 0.91");
  link.SetIconLocation("/opt/velk view/velkview.png");
  link.SetHotKey(" ");
  return link;
}

TEST(ShortcutLink, WritesAnExecutableDesktopEntry) {
  TempDir dir;
  const std::string file = dir.File("Velk's Jpeg Viewer.desktop");
  TShortcutLink link = ViewerLink(file);
  link.SaveLink();
  // The leading blank of the comment survives readers that trim around "=".
  EXPECT_EQ(dir.Read("Velk's Jpeg Viewer.desktop"),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Velk's Jpeg Viewer\n"
            "Comment=\\sVelk's JPEG Viewer 0.91\n"
            "Exec=\"/opt/velk view/velkview\"\n"
            "Path=/opt/velk view/\n"
            "Icon=/opt/velk view/velkview.png\n"
            "X-Velk-ShowCmd=9\n");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0111, (info.st_mode & 0444) >> 2);
  EXPECT_NE(info.st_mode & 0100, 0u);
}

TEST(ShortcutLink, ExecQuotesTheProgramAndKeepsTheArguments) {
  TShortcutLink link;
  link.SetShortcutFile("/x/a.desktop");
  link.SetTarget("/usr/bin/velkview");
  link.SetArguments("--slide %f");
  EXPECT_NE(link.DesktopEntryText().find("\nExec=/usr/bin/velkview --slide %f\n"), std::string::npos);
  link.SetTarget("/opt/a\\b$c/100%");
  link.SetArguments("");
  // Quoted with \ and $ escaped, % doubled, then the value's own backslash escaping.
  EXPECT_NE(link.DesktopEntryText().find("\nExec=\"/opt/a\\\\\\\\b\\\\$c/100%%\"\n"),
            std::string::npos)
      << link.DesktopEntryText();
  link.SetDescription("two\nlines");
  EXPECT_NE(link.DesktopEntryText().find("\nComment=two\\nlines\n"), std::string::npos);
}

TEST(ShortcutLink, HotKeyIsOneUpperCaseCharacter) {
  TShortcutLink link;
  EXPECT_EQ(link.HotKey(), " ");
  link.SetHotKey("a");
  EXPECT_EQ(link.HotKey(), "A");
  EXPECT_NE(link.DesktopEntryText().find("\nX-Velk-HotKey=Ctrl+Alt+A\n"), std::string::npos);
  link.SetHotKey("é");
  EXPECT_EQ(link.HotKey(), "É");
  for (const std::string& blank : std::vector<std::string>{"", " ", "\t", std::string(1, '\0')}) {
    link.SetHotKey(blank);
    EXPECT_EQ(link.HotKey(), " ");
    EXPECT_EQ(link.DesktopEntryText().find("HotKey"), std::string::npos);
  }
}

TEST(ShortcutLink, ShowCmdStoresTheShowWindowValue) {
  TShortcutLink link;
  EXPECT_EQ(link.ShowCmd(), TShowCmd::scShowNormal);
  EXPECT_EQ(link.ShowCmdValue(), 9);
  link.SetShowCmd(TShowCmd::scShowMaximized);
  EXPECT_EQ(link.ShowCmdValue(), 3);
  EXPECT_NE(link.DesktopEntryText().find("\nX-Velk-ShowCmd=3\n"), std::string::npos);
  link.SetShowCmd(TShowCmd::scShowMinimized);
  EXPECT_EQ(link.ShowCmdValue(), 7);
  EXPECT_EQ(link.ShowCmd(), TShowCmd::scShowMinimized);
}

TEST(ShortcutLink, FailureRaisesTheShortcutMessage) {
  TempDir dir;
  dir.Write("plain", "not a folder");
  TShortcutLink link = ViewerLink(dir.File("plain/Velk's Jpeg Viewer.desktop"));
  try {
    link.SaveLink();
    FAIL() << "no exception";
  } catch (const EShortcutError& error) {
    EXPECT_STREQ(error.what(), "Unable to create .lnk file");
  }
  link.SetShortcutFile("");
  EXPECT_THROW(link.SaveLink(), EShortcutError);
}

TEST(ShortcutLink, FirstRunShortcutsGoToTheXdgFolders) {
  TempDir dir;
  ScopedEnv home("HOME", dir.Path());
  ScopedEnv data("XDG_DATA_HOME", dir.Path() + "/data");
  ScopedEnv config("XDG_CONFIG_HOME", dir.Path() + "/config");
  std::filesystem::create_directories(dir.Path() + "/config");
  dir.Write("config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");

  TShortcutLink link = ViewerLink("");
  std::string programs = "unchanged", desktop = "unchanged", other = "unchanged";
  link.GetProgramsFolder(programs);
  link.GetDesktopFolder(desktop);
  link.GetSpecialFolder(5, other);  // a folder we do not know
  EXPECT_EQ(programs, dir.Path() + "/data/applications");
  EXPECT_EQ(desktop, dir.Path() + "/Bureau");
  EXPECT_EQ(other, "unchanged");

  // Neither folder exists yet on a fresh account: saving makes them.
  for (const std::string& folder : {programs, desktop}) {
    link.SetShortcutFile(folder + "/Velk's Jpeg Viewer.desktop");
    link.SaveLink();
    EXPECT_TRUE(std::filesystem::is_regular_file(link.ShortcutFile()));
  }
}

}  // namespace
}  // namespace velk
