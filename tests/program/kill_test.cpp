// The program killed (SIGKILL) at many moments of a run, again and again: every file it writes
// must afterwards be either as it was before the run or as a complete run leaves it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/bmp_codec.h"
#include "platform/registry.h"
#include "program/program_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Files the writes left behind unfinished (their temporary files), in folder.
int Leftovers(const std::string& folder, const std::string& prefix) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().rfind(prefix + ".", 0) == 0) ++count;
  return count;
}

// A kill at a moment of the write of a file starting with prefix in folder: the later kills
// come further into the write (creating, filling, flushing, renaming).
test::KillPlan KillWhileWriting(const std::string& folder, const std::string& prefix, int i,
                                int stepMicroseconds) {
  test::KillPlan plan;
  plan.afterSeconds = 30;  // a run that never writes still ends
  plan.watchFolder = folder;
  plan.watchPrefix = prefix;
  plan.delayMicroseconds = (i % 8) * stepMicroseconds;
  return plan;
}

TEST(KilledRuns, SettingsAndSkinsAreOldOrNewNeverTorn) {
  test::TempDir dir;
  const std::string program = test::CopyProgramFolder(dir.File("program"));
  const std::string skins = dir.File("program/skins.ini");
  const std::string hive = dir.File("config/velkview/hkcu.reg");
  const std::vector<std::string> env = {
      "HOME=" + dir.File("home"), "XDG_CONFIG_HOME=" + dir.File("config"),
      "QT_QPA_PLATFORM=offscreen", "VELKVIEW_CLOSE_WHEN_SHOWN=1"};
  for (const char* picture : {"a/one.jpg", "b/one.jpg"}) {
    fs::create_directories(fs::path(dir.File(picture)).parent_path());
    fs::copy_file(dir.File("program/sample.jpg"), dir.File(picture));
  }
  const std::vector<std::string> runs[] = {{program, dir.File("a/one.jpg")},
                                           {program, dir.File("b/one.jpg")}};

  // Complete runs give the new states.
  std::string hives[2];
  for (int k : {0, 1, 0, 1}) {
    const test::ChildRun run = test::RunChild(runs[k], env);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    hives[k] = Contents(hive).value_or("");
  }
  // Before each run the settings differ from what it saves in the first value written
  // ("Directory", the other run's folder) and a late one ("skinny", always saved as 0): a run
  // cut off between its writes would leave a mixture.
  std::string before[2];
  for (int k : {0, 1}) {
    before[k] = hives[1 - k];
    const std::string saved = "\"skinny\"=dword:00000000";
    ASSERT_NE(before[k].find(saved), std::string::npos);
    before[k].replace(before[k].find(saved), saved.size(), "\"skinny\"=dword:00000001");
  }
  const std::string fullSkins = Contents(skins).value_or("");
  ASSERT_NE(fullSkins.find("Color1="), std::string::npos);

  const int kills = 24;
  int killed = 0;
  for (int i = 0; i < kills; ++i) {
    SCOPED_TRACE("kill " + std::to_string(i));
    // Every third run writes the skin file as on a first run and is killed while doing it; the
    // others are killed while saving the settings.
    const bool skinsRun = i % 3 == 0;
    if (skinsRun) fs::remove(skins);
    std::ofstream(hive, std::ios::binary) << before[i % 2];
    const test::ChildRun run = test::RunChild(
        runs[i % 2], env,
        skinsRun ? KillWhileWriting(dir.File("program"), "skins.ini", i, 1500)
                 : KillWhileWriting(dir.File("config/velkview"), "hkcu.reg", i, 1500));
    killed += run.killed;
    const std::string now = Contents(hive).value_or("missing");
    EXPECT_TRUE(now == before[i % 2] || now == hives[i % 2]) << now;
    EXPECT_TRUE(Registry(hive).LoadProblems().empty());
    const std::optional<std::string> skinsNow = Contents(skins);
    EXPECT_TRUE(!skinsNow || *skinsNow == fullSkins) << *skinsNow;
  }
  std::cout << killed << " of " << kills << " runs killed; unfinished writes left: "
            << Leftovers(dir.File("config/velkview"), "hkcu.reg") +
                   Leftovers(dir.File("program"), "skins.ini")
            << "\n";
  EXPECT_GT(killed, kills / 4);

  // The next start reads everything back without a message.
  const test::ChildRun after = test::RunChild(runs[0], env);
  EXPECT_EQ(after.exitCode, 0);
  EXPECT_EQ(after.output.find("Failed"), std::string::npos) << after.output;
}

TEST(KilledRuns, ConversionOutputIsOldOrNewNeverTorn) {
  test::TempDir dir;
  Bitmap picture(2400, 1600, 24);
  for (int y = 0; y < picture.Height(); ++y)
    for (size_t x = 0; x < picture.Stride(); ++x) picture.ScanLine(y)[x] = uint8_t(x * 3 + y);
  SaveBmpFile(picture, dir.File("picture.bmp"));
  fs::create_directories(dir.File("new"));
  fs::create_directories(dir.File("out"));
  const auto convert = [&](const std::string& folder) {
    return std::vector<std::string>{test::ProgramPath(), "--convert", "tiff", "--output", folder,
                                    dir.File("picture.bmp")};
  };
  ASSERT_EQ(test::RunChild(convert(dir.File("new")), {}).exitCode, 0);
  const std::string complete = Contents(dir.File("new/picture.tif")).value_or("");
  ASSERT_GT(complete.size(), 10u << 20);

  const std::string old = "an older picture.tif";
  const int kills = 30;
  int killed = 0, replaced = 0;
  for (int i = 0; i < kills; ++i) {
    SCOPED_TRACE("kill " + std::to_string(i));
    dir.Write("out/picture.tif", old);
    killed += test::RunChild(convert(dir.File("out")), {},
                             KillWhileWriting(dir.File("out"), "picture.tif", i, 6000))
                  .killed;
    const std::string now = Contents(dir.File("out/picture.tif")).value_or("missing");
    EXPECT_TRUE(now == old || now == complete) << now.size() << " bytes";
    replaced += now == complete;
  }
  std::cout << killed << " of " << kills << " runs killed, " << replaced
            << " finished the file; unfinished writes left: "
            << Leftovers(dir.File("out"), "picture.tif") << "\n";
  EXPECT_GT(killed, kills / 4);
}

}  // namespace
}  // namespace velk
