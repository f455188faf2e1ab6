#include "chrome/xdg_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "scoped_env.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(XdgFolders, DefaultsBelowHome) {
  ScopedEnv home("HOME", "/home/someone/");
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  ScopedEnv config("XDG_CONFIG_HOME", "/nonexistent-velk-config");
  EXPECT_EQ(ProgramsFolder(), "/home/someone/.local/share/applications");
  EXPECT_EQ(DesktopFolder(), "/home/someone/Desktop");
}

TEST(XdgFolders, EnvironmentIsRespectedWhenAbsolute) {
  TempDir dir;
  ScopedEnv home("HOME", dir.Path());
  ScopedEnv data("XDG_DATA_HOME", dir.Path() + "/data/");
  ScopedEnv config("XDG_CONFIG_HOME", dir.Path());
  dir.Write("user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                              "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n"
                              "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  EXPECT_EQ(ProgramsFolder(), dir.Path() + "/data/applications");
  EXPECT_EQ(DesktopFolder(), dir.Path() + "/Schreibtisch");

  ScopedEnv relative("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
  EXPECT_EQ(ProgramsFolder(), dir.Path() + "/.local/share/applications");
}

TEST(XdgFolders, PicturesFolderThatExistsElseHomeAndSystemApplicationFolders) {
  TempDir dir;
  ScopedEnv home("HOME", dir.Path());
  ScopedEnv config("XDG_CONFIG_HOME", dir.Path());
  EXPECT_EQ(PicturesFolder(), dir.Path());  // no ~/Pictures
  std::filesystem::create_directories(dir.File("Pictures"));
  EXPECT_EQ(PicturesFolder(), dir.File("Pictures"));
  dir.Write("user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  EXPECT_EQ(PicturesFolder(), dir.Path());  // named but not there
  std::filesystem::create_directories(dir.File("Bilder"));
  EXPECT_EQ(PicturesFolder(), dir.File("Bilder"));

  ScopedEnv dataDirs("XDG_DATA_DIRS", "/opt/share/:relative:/usr/share");
  EXPECT_EQ(SystemApplicationFolders(),
            (std::vector<std::string>{"/opt/share/applications", "/usr/share/applications"}));
}

TEST(XdgFolders, UserDirsValueForms) {
  const std::string home = "/home/u";
  EXPECT_EQ(UserDirFromUserDirs("XDG_DESKTOP_DIR=\"/srv/desk/\"\n", "DESKTOP", home), "/srv/desk");
  EXPECT_EQ(UserDirFromUserDirs("XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\"\"\r\n", "DESKTOP", home),
            "/home/u/My \"Desk\"");
  EXPECT_EQ(UserDirFromUserDirs("XDG_DESKTOP_DIR=\"/d\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
                                "PICTURES", home),
            "/home/u/Bilder");
  EXPECT_EQ(UserDirFromUserDirs("XDG_DESKTOP_DIR=\"$HOME/\"\n", "DESKTOP", home), "/home/u");
  // Forms the convention does not allow, and other keys, give nothing.
  EXPECT_EQ(UserDirFromUserDirs("XDG_DESKTOP_DIR=\"Desktop\"\n", "DESKTOP", home), "");
  EXPECT_EQ(UserDirFromUserDirs("XDG_DESKTOP_DIR=$HOME/Desktop\n", "DESKTOP", home), "");
  EXPECT_EQ(UserDirFromUserDirs("XDG_DESKTOP_DIR=\"$HOMEWORK\"\n", "DESKTOP", home), "");
  EXPECT_EQ(
      UserDirFromUserDirs("# XDG_DESKTOP_DIR=\"/x\"\nXDG_MUSIC_DIR=\"/m\"\n", "DESKTOP", home), "");
}

}  // namespace
}  // namespace velk
