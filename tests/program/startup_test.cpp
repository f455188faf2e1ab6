// Whole starts of the program in situations a user meets: broken pictures
// opened or remembered, a program folder it may not write, a settings file that
// is not one, missing skins and languages. Every start must reach the main
// window, show what it should and end through the close button; messages are
// answered and printed by the unattended hook.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

// A start: a private program folder copy, settings folder and pictures.
struct Start {
  test::TempDir dir;
  std::string program = test::CopyProgramFolder(dir.File("program"));
  std::string config = dir.File("config");
  std::string pictures = dir.File("pictures");
  std::vector<std::string> arguments;
  std::string workingFolder = dir.Path();
  bool asNobody = false;  // a normal user, for whom root's files are read-only

  Start() {
    fs::create_directories(pictures);
    fs::create_directories(config + "/velkview");
    for (const char* name : {"a.jpg", "b.jpg", "c.jpeg"})
      fs::copy_file(dir.File("program/sample.jpg"), pictures + "/" + name);
  }

  void Write(const std::string& path, const std::string& bytes) const {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // Settings as a closed run leaves them.
  void WriteSettings(const std::string& directory, int filename, bool showstart) const {
    Write(config + "/velkview/hkcu.reg",
          "Windows Registry Editor Version 5.00\n\n"
          "[HKEY_CURRENT_USER\\Software\\Velk's Software\\Velk's JPEG viewer]\n"
          "\"Directory\"=\"" +
              directory +
              "\"\n\"Grey\"=dword:00000000\n"
              "\"Dither\"=dword:00000000\n\"Colours\"=dword:00000002\n\"Zoom\"="
              "dword:00000009\n"
              "\"Loupe\"=dword:00000000\n\"Loupezoom\"=\"1\"\n\"Filter\"=dword:"
              "00000000\n"
              "\"FileIndex\"=dword:00000001\n\"Showstart\"=dword:0000000" +
              std::to_string(showstart) + "\n\"skindir\"=\"" + dir.File("program/") +
              "\"\n\"skinny\"=dword:00000000\n\"lint\"=dword:00000006\n"
              "\"Filename\"=dword:0000000" +
              std::to_string(filename) + "\n");
  }

  void UseLanguageFile(const std::string& ldf) const {
    Write(
        dir.File("program/plugins.ini"),
        "[Languages]\nnumber=2\ncurrent=1\nname0=English\nname1=Deutsch\nlanguage1=" + ldf + "\n");
  }

  test::ChildRun Run() const {
    std::string command = "cd '" + workingFolder + "' && exec ";
    if (asNobody) command += "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    command += "'" + program + "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    test::KillPlan plan;
    plan.afterSeconds = 60;  // a start that hangs still ends the test
    return test::RunChild({"/bin/sh", "-c", command},
                          {"HOME=" + dir.File("home"), "XDG_CONFIG_HOME=" + config,
                           "QT_QPA_PLATFORM=offscreen", "VELKVIEW_CLOSE_WHEN_SHOWN=1"},
                          plan);
  }

  // Lets a normal user into the temporary folders but not into the program
  // folder.
  void MakeProgramFolderReadOnlyForNobody() {
    asNobody = true;
    fs::permissions(dir.Path(),
                    fs::perms::all);  // others may pass; the folders decide
    for (const std::string& folder : {config, pictures, dir.File("home")}) {
      fs::create_directories(folder);
      for (const auto& entry : fs::recursive_directory_iterator(folder))
        (void)::chown(entry.path().c_str(), 65534, 65534);
      (void)::chown(folder.c_str(), 65534, 65534);
    }
  }
};

// What the properties panel showed once the main window was up: "name|size".
std::string Shown(const std::string& output) {
  const size_t at = output.find("shown: ");
  if (at == std::string::npos) return "(main window never shown)";
  return output.substr(at + 7, output.find('\n', at) - at - 7);
}

std::string FirstField(const std::string& shown) { return shown.substr(0, shown.find('|')); }

// Bytes that claim to be pictures and are not.
const std::string kBrokenBmp = std::string("BM\x40\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18) +
                               std::string("\xff\xff\0\0\xff\xff\0\0\1\0\x18\0\1\0\0\0", 16);
const std::string kBrokenGif("GIF89a\x10\0\x10\0\x80\0\0", 13);
const std::string kBrokenTiff = std::string("II*\0\xff\xff\0\0", 8);

struct StartCase {
  const char* name;
  std::function<void(Start&)> setUp;
  std::string shown;    // the file name the panel must show ("" for none)
  std::string message;  // a message that must have been shown, once ("" for any or none)
};

const StartCase kCases[] = {
    {"broken BMP on the command line",
     [](Start& s) {
       s.Write(s.pictures + "/broken.bmp", kBrokenBmp);
       s.arguments = {s.pictures + "/broken.bmp"};
     },
     "", "message: Bitmap image is not valid.\n"},
    {"broken GIF on the command line",
     [](Start& s) {
       s.Write(s.pictures + "/broken.gif", kBrokenGif);
       s.arguments = {s.pictures + "/broken.gif"};
     },
     "", "message: Premature end of data.\n"},
    {"broken TIFF on the command line",
     [](Start& s) {
       s.Write(s.pictures + "/broken.tif", kBrokenTiff);
       s.arguments = {s.pictures + "/broken.tif"};
     },
     "broken.tif", "message: Error reading tag Photometric interpretation\n"},
    {"broken remembered file",
     [](Start& s) {
       s.Write(s.dir.File("bad/0.bmp"), kBrokenBmp);
       s.WriteSettings(s.dir.File("bad"), 0, true);
     },
     "", "message: Bitmap image is not valid.\n"},
    {"first run in a folder whose first file is broken",
     [](Start& s) {
       s.Write(s.dir.File("bad/0.gif"), kBrokenGif);
       s.workingFolder = s.dir.File("bad");
     },
     "", "message: Premature end of data.\n"},
    {"command-line file, not the remembered index",
     [](Start& s) {
       s.WriteSettings(s.pictures, 0, true);
       s.arguments = {s.pictures + "/b.jpg"};
     },
     "b.jpg", ""},
    {"command-line file the mask does not list",
     [](Start& s) { s.arguments = {s.pictures + "/c.jpeg"}; }, "c.jpeg", ""},
    {"command-line file with Show/Play off",
     [](Start& s) {
       s.WriteSettings(s.pictures, 0, false);
       s.arguments = {s.pictures + "/b.jpg"};
     },
     "b.jpg", ""},
    {"remembered file with Show/Play on", [](Start& s) { s.WriteSettings(s.pictures, 1, true); },
     "b.jpg", ""},
    {"remembered file with Show/Play off", [](Start& s) { s.WriteSettings(s.pictures, 1, false); },
     "", ""},
    {"remembered folder that is gone",
     [](Start& s) {
       s.WriteSettings(s.dir.File("gone"), 0, true);
       s.workingFolder = s.pictures;
     },
     "a.jpg", ""},
    {"settings file that is a folder",
     [](Start& s) { fs::create_directories(s.config + "/velkview/hkcu.reg"); }, "", ""},
    {"skin bitmaps missing and not bitmaps",
     [](Start& s) {
       s.Write(s.dir.File("program/skins.ini"),
               "[Settings]\nCurrent Scheme=Current\n[Current]\nMain Form Skin=" +
                   s.dir.File("program/skins/none.bmp") +
                   "\nOpen Toolbar Button Glyph=" + s.dir.File("program/sample.jpg") + "\n");
       s.arguments = {s.pictures + "/a.jpg"};
     },
     "a.jpg", ""},
    {"language file missing",
     [](Start& s) {
       s.UseLanguageFile(s.dir.File("program/languages/none.ldf"));
       s.arguments = {s.pictures + "/a.jpg"};
     },
     "a.jpg", ""},
    {"language file cut short",
     [](Start& s) {
       const std::string ldf = s.dir.File("program/languages/Deutsch.ldf");
       std::ifstream in(ldf, std::ios::binary);
       const std::string whole((std::istreambuf_iterator<char>(in)), {});
       s.Write(ldf, whole.substr(0, whole.size() / 3));
       s.UseLanguageFile(ldf);
       s.arguments = {s.pictures + "/a.jpg"};
     },
     "a.jpg", ""},
    {"plugins folder missing",
     [](Start& s) {
       fs::remove_all(s.dir.File("program/plugins"));
       s.arguments = {s.pictures + "/a.jpg"};
     },
     "a.jpg", ""},
    {"program folder the user may not write, on a first run",
     [](Start& s) {
       s.MakeProgramFolderReadOnlyForNobody();
       s.arguments = {s.pictures + "/a.jpg"};
     },
     "a.jpg", ""},
    {"settings file the user may not read",
     [](Start& s) {
       s.WriteSettings(s.pictures, 1, true);
       s.MakeProgramFolderReadOnlyForNobody();
       fs::permissions(s.config + "/velkview/hkcu.reg", fs::perms::none);
     },
     "", ""},
};

void PrintTo(const StartCase& c, std::ostream* out) { *out << c.name; }

class Startup : public ::testing::TestWithParam<StartCase> {};

TEST_P(Startup, ReachesTheMainWindowShowsTheRightFileAndEndsNormally) {
  const StartCase& c = GetParam();
  Start start;
  c.setUp(start);
  const test::ChildRun run = start.Run();
  EXPECT_FALSE(run.killed) << run.output;
  EXPECT_NE(run.exitCode, -1) << "ended by a signal\n" << run.output;
  EXPECT_EQ(FirstField(Shown(run.output)), c.shown) << run.output;
  if (!c.message.empty()) {
    const size_t first = run.output.find(c.message);
    EXPECT_NE(first, std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(c.message, first + 1), std::string::npos) << "shown twice\n"
                                                                         << run.output;
  }
}

INSTANTIATE_TEST_SUITE_P(Situations, Startup, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p)
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  return name;
});

TEST(StartupAndClose, SettingsThatCannotBeSavedOnAFullDiskStayAsTheyWere) {
  Start start;
  const std::string folder = start.config + "/velkview";
  if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a small file system here (needs root)";
  start.WriteSettings(start.pictures, 1, true);
  const std::string hive = folder + "/hkcu.reg";
  std::ifstream before(hive);
  const std::string saved((std::istreambuf_iterator<char>(before)), {});
  {
    std::ofstream filler(folder + "/filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size()) && filler.flush()) {
    }
  }
  const test::ChildRun run = start.Run();
  std::ifstream after(hive);
  const std::string kept((std::istreambuf_iterator<char>(after)), {});
  ::umount(folder.c_str());
  EXPECT_NE(run.output.find("message: Failed to set data for 'Directory'"), std::string::npos)
      << run.output;
  EXPECT_EQ(run.exitCode, 1) << "the window must stay open when its settings are not saved";
  EXPECT_EQ(kept, saved);
}

}  // namespace
}  // namespace velk
