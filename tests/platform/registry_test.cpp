#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/errors.h"
#include "platform/registry_hive.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using test::TempDir;

const std::string kViewerKey = "\\Software\\Velk's Software\\Velk's JPEG viewer";

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EVelkError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(Registry, WritesTheEditorsExportFormatAndReadsItBack) {
  TempDir dir;
  const std::string path = dir.File("hkcu.reg");
  {
    Registry reg(path);
    ASSERT_TRUE(reg.OpenKey(kViewerKey, true));
    reg.WriteString("Directory", "/home/velk/\"odd\"\\pics");
    reg.WriteInteger("Zoom", 9);
    reg.WriteInteger("Filename", -1);
    reg.WriteBool("Grey", true);
    reg.WriteString("Loupezoom", "1.5");
    reg.WriteInteger("ZOOM", 10);  // same value, whatever the case
    reg.WriteString("Lines", "a\nb\r\nc");
  }
  EXPECT_EQ(dir.Read("hkcu.reg"),
            "Windows Registry Editor Version 5.00\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Velk's Software\\Velk's JPEG viewer]\n"
            "\"Directory\"=\"/home/velk/\\\"odd\\\"\\\\pics\"\n"
            "\"Zoom\"=dword:0000000a\n"
            "\"Filename\"=dword:ffffffff\n"
            "\"Grey\"=dword:00000001\n"
            "\"Loupezoom\"=\"1.5\"\n"
            "\"Lines\"=\"a\\nb\\r\\nc\"\n"
            "\n");

  Registry again(path);
  EXPECT_TRUE(again.LoadProblems().empty());
  ASSERT_TRUE(again.OpenKey("\\software\\VELK'S SOFTWARE\\velk's jpeg viewer\\", false));
  EXPECT_EQ(again.ReadString("directory"), "/home/velk/\"odd\"\\pics");
  EXPECT_EQ(again.ReadInteger("Zoom"), 10);
  EXPECT_EQ(again.ReadInteger("Filename"), -1);
  EXPECT_TRUE(again.ReadBool("Grey"));
  EXPECT_EQ(again.ReadString("Lines"), "a\nb\r\nc");
  EXPECT_EQ(again.ReadString("Missing"), "");
  EXPECT_TRUE(again.ValueExists("LOUPEZOOM"));
  EXPECT_FALSE(again.ValueExists("Missing"));
}

TEST(Registry, KeepsOtherValueTypesAndReadsForeignExports) {
  TempDir dir;
  // As the Windows editor exports it: UTF-16LE with a byte order mark and CRLF.
  const std::u16string exported =
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_CURRENT_USER\\Software\\Test]\r\n"
      u"@=\"default\"\r\n"
      u"\"Name\"=\"Caf\u00e9 \U0001F600\"\r\n"
      u"\"Bin\"=hex:01,02,\\\r\n"
      u"  03,04\r\n"
      u"\"Path\"=hex(2):25,00,00,00\r\n"
      u"\"Count\"=DWORD:0000FFFF\r\n\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : exported) bytes += char(c & 0xFF), bytes += char(c >> 8);
  dir.Write("hkcu.reg", bytes);

  Registry reg(dir.File("hkcu.reg"));
  EXPECT_TRUE(reg.LoadProblems().empty());
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test", false));
  EXPECT_EQ(reg.ReadString(""), "default");
  EXPECT_EQ(reg.ReadString("Name"), "Caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(reg.ReadInteger("Count"), 0xFFFF);
  EXPECT_EQ(ErrorOf([&] { reg.ReadString("Bin"); }), "Invalid data type for 'Bin'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Path"); }), "Invalid data type for 'Path'");

  reg.WriteInteger("Count", 1);
  EXPECT_EQ(dir.Read("hkcu.reg"),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Test]\n"
            "@=\"default\"\n"
            "\"Name\"=\"Caf\xC3\xA9 \xF0\x9F\x98\x80\"\n"
            "\"Bin\"=hex:01,02,03,04\n"
            "\"Path\"=hex(2):25,00,00,00\n"
            "\"Count\"=dword:00000001\n\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("hkcu.reg.damaged")));
}

TEST(Registry, ReportsTheDesignedMessages) {
  TempDir dir;
  dir.Write("hkcu.reg",
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\V]\n\"Zoom\"=dword:00000003\n\"Dir\"=\"/tmp\"\n\n");
  Registry reg(dir.File("hkcu.reg"));
  ASSERT_TRUE(reg.OpenKey("\\Software\\V", false));
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Lint"); }), "Failed to get data for 'Lint'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadBool("Grey"); }), "Failed to get data for 'Grey'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Dir"); }), "Invalid data type for 'Dir'");
  EXPECT_EQ(ErrorOf([&] { reg.ReadString("Zoom"); }), "Invalid data type for 'Zoom'");

  // With no key open, reads see an empty key and writes fail.
  reg.CloseKey();
  EXPECT_EQ(reg.ReadString("Dir"), "");
  EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Zoom"); }), "Failed to get data for 'Zoom'");
  EXPECT_EQ(ErrorOf([&] { reg.WriteString("Dir", "x"); }), "Failed to set data for 'Dir'");

  // A hive that cannot be written: its folder has become a plain file.
  TempDir home;
  const std::string folder = home.File("velkview");
  std::filesystem::create_directory(folder);
  Registry broken(folder + "/hkcu.reg");
  ASSERT_TRUE(broken.OpenKey("\\Software\\V", true));
  broken.WriteInteger("Kept", 1);
  std::filesystem::remove_all(folder);
  home.Write("velkview", "in the way");
  EXPECT_EQ(ErrorOf([&] { broken.WriteInteger("Zoom", 4); }), "Failed to set data for 'Zoom'");
  EXPECT_EQ(ErrorOf([&] { broken.WriteString("Kept", "x"); }), "Failed to set data for 'Kept'");
  EXPECT_FALSE(broken.OpenKey("\\Software\\New", true));
  EXPECT_FALSE(broken.KeyExists("\\Software\\New"));

  // Once writable again, nothing of the failed writes reaches the file.
  std::filesystem::remove(folder);
  std::filesystem::create_directory(folder);
  broken.WriteInteger("Later", 2);
  Registry reread(folder + "/hkcu.reg");
  ASSERT_TRUE(reread.OpenKey("\\Software\\V", false));
  EXPECT_EQ(reread.ReadInteger("Kept"), 1);
  EXPECT_EQ(reread.ReadInteger("Later"), 2);
  EXPECT_FALSE(reread.ValueExists("Zoom"));
  EXPECT_FALSE(reread.KeyExists("\\Software\\New"));
}

TEST(Registry, ResolvesRelativeAndAbsoluteKeys) {
  TempDir dir;
  const std::string path = dir.File("hkcu.reg");
  Registry reg(path);
  EXPECT_FALSE(reg.KeyExists(kViewerKey));
  EXPECT_FALSE(reg.OpenKey(kViewerKey, false));
  EXPECT_FALSE(std::filesystem::exists(path));  // looking creates nothing

  ASSERT_TRUE(reg.OpenKey("\\Software\\A\\", true));
  EXPECT_TRUE(std::filesystem::exists(path));  // a created key is saved at once
  EXPECT_EQ(reg.CurrentPath(), "Software\\A");
  ASSERT_TRUE(reg.OpenKey("B", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\A\\B");
  EXPECT_TRUE(reg.KeyExists("\\software\\a"));
  EXPECT_FALSE(reg.KeyExists("A"));  // relative to Software\A\B
  EXPECT_FALSE(reg.OpenKey("C", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\A\\B");  // a failed open leaves the current key
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE", false));
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE");  // as the caller spelt it
  EXPECT_TRUE(reg.KeyExists("a\\b"));
  reg.CloseKey();
  EXPECT_TRUE(reg.KeyExists("Software\\A"));  // relative to the root once closed
  EXPECT_EQ(reg.CurrentPath(), "");

  Registry reread(path);
  EXPECT_TRUE(reread.KeyExists("\\Software\\A\\B"));
  EXPECT_TRUE(reread.OpenKey("\\Software", false));  // implied by the keys below it
}

TEST(Registry, SurvivesDamagedHivesAndKeepsACopy) {
  const std::string header = "Windows Registry Editor Version 5.00\n\n";
  const std::string good = "[HKEY_CURRENT_USER\\Good]\n\"Zoom\"=dword:00000009\n\n";
  std::string garbage;
  for (unsigned i = 0, x = 12345; i < 4096; ++i) garbage += char((x = x * 1103515245 + 12345) >> 16);
  std::string deep = "[HKEY_CURRENT_USER";
  for (int i = 0; i < 2000; ++i) deep += "\\k";
  const struct {
    const char* name;
    std::string text;
    std::optional<int> zoom;  // what survives of the good key
  } cases[] = {
      {"truncated", header + good + "[HKEY_CURRENT_USER\\Cut]\n\"Directory\"=\"/home/us", 9},
      {"garbage", garbage, std::nullopt},
      {"garbage after", header + good + garbage, 9},
      {"no header", good, 9},
      {"unterminated name", header + good + "[HKEY_CURRENT_USER\\Good]\n\"Dir=\"x\"\n", 9},
      {"huge line", header + std::string(3 << 20, '"') + "\n" + good, 9},
      {"nul bytes", header + good + std::string("\"Lint\"=dword:0\0\n", 16), 9},
      {"nested", header + deep + "]\n\"Zoom\"=dword:1\n" + good, 9},
      {"other root", header + "[HKEY_LOCAL_MACHINE\\Good]\n\"Zoom\"=dword:1\n" + good, 9},
      {"bad dword", header + "[HKEY_CURRENT_USER\\Good]\n\"Zoom\"=dword:123456789\n", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    dir.Write("hkcu.reg", c.text);
    Registry reg(dir.File("hkcu.reg"));
    EXPECT_FALSE(reg.LoadProblems().empty());
    EXPECT_LE(reg.LoadProblems().size(), RegistryHive::kMaxProblems + 1);
    if (c.zoom) {
      ASSERT_TRUE(reg.OpenKey("\\Good", false));
      EXPECT_EQ(reg.ReadInteger("Zoom"), *c.zoom);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("hkcu.reg.damaged")));
    ASSERT_TRUE(reg.OpenKey("\\Good", true));
    reg.WriteInteger("Lint", 6);
    EXPECT_EQ(dir.Read("hkcu.reg.damaged"), c.text);
    reg.WriteInteger("Lint", 5);  // the copy is made once, of the original
    EXPECT_EQ(dir.Read("hkcu.reg.damaged"), c.text);

    Registry repaired(dir.File("hkcu.reg"));
    EXPECT_TRUE(repaired.LoadProblems().empty()) << repaired.LoadProblems().front();
    ASSERT_TRUE(repaired.OpenKey("\\Good", false));
    EXPECT_EQ(repaired.ReadInteger("Lint"), 5);
  }
}

TEST(Registry, NamesTheLinesOfProblems) {
  RegistryHive hive("");
  hive.Parse(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\K]\r\n"
      "\"A\"=\"unterminated\r\n"
      "\"B\"=-\r\n"
      "\"C\"=qword:1\r\n"
      "stray text\r\n"
      "\"D\"=dword:00000004\r\n"
      "[HKEY_CURRENT_USER\\K\r\n"
      "\"E\"=dword:5");
  EXPECT_EQ(hive.Problems(),
            (std::vector<std::string>{"line 4: text without closing quote", "line 5: value deletion",
                                      "line 6: unknown value type",
                                      "line 7: neither a key nor a value",
                                      "line 9: key name without \"]\"",
                                      "line 10: value outside a key",
                                      "line 10: the file ends in the middle of this line"}));
  const RegKey* key = hive.FindKey({"k"});
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->Values().size(), 1u);
  EXPECT_EQ(key->Values()[0].dword, 4u);

  std::string many = "Windows Registry Editor Version 5.00\n";
  for (int i = 0; i < 500; ++i) many += "junk\n";
  hive.Parse(many);
  ASSERT_EQ(hive.Problems().size(), RegistryHive::kMaxProblems + 1);
  EXPECT_EQ(hive.Problems().back(), "and 400 more problems");
}

class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(Registry, LivesInTheUsersConfigFolder) {
  TempDir dir;
  {
    ScopedEnv home("HOME", dir.Path().c_str());
    ScopedEnv unset("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(DefaultHivePath(), dir.Path() + "/.config/velkview/hkcu.reg");
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(DefaultHivePath(), dir.Path() + "/.config/velkview/hkcu.reg");
  }
  ScopedEnv xdg("XDG_CONFIG_HOME", (dir.Path() + "/cfg/").c_str());
  EXPECT_EQ(DefaultHivePath(), dir.Path() + "/cfg/velkview/hkcu.reg");
  Registry reg;
  ASSERT_TRUE(reg.OpenKey(kViewerKey, true));
  reg.WriteString("skindir", "/opt/velkview/");
  struct stat info {};
  ASSERT_EQ(::stat((dir.Path() + "/cfg/velkview").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(Registry().OpenKey(kViewerKey, false), true);
}

TEST(Registry, UpdatesReachTheFileTogether) {
  TempDir dir;
  const std::string path = dir.File("hkcu.reg");
  Registry reg(path);
  ASSERT_TRUE(reg.OpenKey("\\Software\\V", true));
  reg.WriteInteger("Zoom", 1);
  const std::string before = dir.Read("hkcu.reg");

  reg.BeginUpdate();
  reg.WriteInteger("Zoom", 2);
  reg.WriteString("Dir", "/pics");
  EXPECT_EQ(reg.ReadInteger("Zoom"), 2);
  EXPECT_EQ(dir.Read("hkcu.reg"), before);  // nothing written yet
  reg.EndUpdate();
  Registry reread(path);
  ASSERT_TRUE(reread.OpenKey("\\Software\\V", false));
  EXPECT_EQ(reread.ReadInteger("Zoom"), 2);
  EXPECT_EQ(reread.ReadString("Dir"), "/pics");

  // A hive that cannot be saved names the update's first value and keeps the old file.
  const std::string saved = dir.Read("hkcu.reg");
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);  // a folder in the file's place
  reg.BeginUpdate();
  reg.WriteString("Dir", "/other");
  reg.WriteInteger("Zoom", 3);
  EXPECT_EQ(ErrorOf([&] { reg.EndUpdate(); }), "Failed to set data for 'Dir'");
  std::filesystem::remove(path);
  dir.Write("hkcu.reg", saved);
  reg.BeginUpdate();
  reg.EndUpdate();  // no writes, no save
  EXPECT_EQ(dir.Read("hkcu.reg"), saved);
}

}  // namespace
}  // namespace velk
