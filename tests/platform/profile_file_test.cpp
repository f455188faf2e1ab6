#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/errors.h"
#include "platform/program_files.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using test::TempDir;

TEST(ProfileFile, ReadsWindowsStyleFiles) {
  TempDir dir;
  dir.Write("a.ini",
            "\xEF\xBB\xBF[Skins]\r\n"
            "; Name=commented out\r\n"
            "  Name  =  Blue Steel  \r\n"
            "Quoted=\"  padded  \"\r\n"
            "Single='x'\r\n"
            "Half=\"open\r\n"
            "name=second wins never\r\n"
            "Bare\r\n"
            "[skins]\r\n"
            "Other=from a duplicate section\r\n"
            "[Colours]\n"
            "Empty=\n");
  const ProfileFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadString("SKINS", "name", "d"), "Blue Steel");
  EXPECT_EQ(ini.ReadString("Skins", "Quoted", "d"), "  padded  ");
  EXPECT_EQ(ini.ReadString("Skins", "Single", "d"), "x");
  EXPECT_EQ(ini.ReadString("Skins", "Half", "d"), "\"open");
  EXPECT_EQ(ini.ReadString("Skins", "Other", "d"), "d");  // only the first section counts
  EXPECT_EQ(ini.ReadString("Skins", "Bare", "d"), "d");
  EXPECT_EQ(ini.ReadString("Colours", "Empty", "d"), "");
  EXPECT_EQ(ini.ReadString("Colours", "Missing", "d"), "d");
  EXPECT_EQ(ini.ReadString("Nowhere", "Name", "d"), "d");
  EXPECT_EQ(ProfileFile(dir.File("missing.ini")).ReadString("Skins", "Name", "d"), "d");

  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Skins", "Colours"}));
  EXPECT_EQ(ini.ReadSection("skins"),
            (std::vector<std::string>{"Name", "Quoted", "Single", "Half", "Bare"}));
  // The same keys with what ReadString gives for each, in one pass.
  using Values = std::vector<std::pair<std::string, std::optional<std::string>>>;
  EXPECT_EQ(ini.ReadSectionValues("skins"),
            (Values{{"Name", "Blue Steel"}, {"Quoted", "  padded  "}, {"Single", "x"},
                    {"Half", "\"open"}, {"Bare", std::nullopt}}));
  EXPECT_TRUE(ini.SectionExists("colours"));
  EXPECT_TRUE(ini.ValueExists("Skins", "BARE"));
  EXPECT_FALSE(ini.ValueExists("Skins", "Other"));
}

TEST(ProfileFile, CapsTextAt1023Characters) {
  TempDir dir;
  const std::string euro = "\xE2\x82\xAC";  // three bytes, one character
  std::string many;
  for (int i = 0; i < 1100; ++i) many += euro;
  dir.Write("a.ini", "[s]\nascii=" + std::string(5000, 'a') + "\nwide=" + many + "\n");
  const ProfileFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadString("s", "ascii", ""), std::string(1023, 'a'));
  EXPECT_EQ(ini.ReadString("s", "wide", ""), many.substr(0, 1023 * euro.size()));
}

TEST(ProfileFile, ValuesEndAtNulOnReadAndWrite) {
  TempDir dir;
  const char text[] = "[s]\nName=Colour Pick\0er\n";
  dir.Write("a.ini", std::string(text, sizeof text - 1));
  ProfileFile ini(dir.File("a.ini"));
  const std::string read = ini.ReadString("s", "Name", "");
  EXPECT_EQ(read, "Colour Pick");
  ini.WriteString("s", "Name", read + std::string("x\0y", 3));
  EXPECT_EQ(ini.ReadString("s", "Name", ""), "Colour Pickx");
}

// Blanks at a value's ends and quotes around it would be taken off by the read: such values
// are written in quotes, so every value reads back as written (line breaks become blanks).
TEST(ProfileFile, ValuesReadBackAsWritten) {
  TempDir dir;
  ProfileFile ini(dir.File("a.ini"));
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},           {" leading", " leading"},   {"trailing\t", "trailing\t"},
      {"\rame=x", " ame=x"},         {"\"quoted\"", "\"quoted\""}, {"'single'", "'single'"},
      {"\"", "\""},                 {"", ""},                   {"a\nb", "a b"}};
  for (const auto& [written, read] : cases) {
    ini.WriteString("s", "Key", written);
    EXPECT_EQ(ini.ReadString("s", "Key", "?"), read) << written;
  }
}

TEST(ProfileFile, ParsesIntegersStrictly) {
  TempDir dir;
  dir.Write("a.ini",
            "[n]\n"
            "dec=42\nneg=-17\nplus=+5\nhex=0x1F\nupper=0XfF\ncolour=0x80000010\n"
            "zeros=0x0000000000000a\nmin=-2147483648\nmax=2147483647\n"
            "over=2147483648\nunder=-2147483649\nhexover=0x100000000\n"
            "trail=12abc\nspace=1 2\nbarehex=0x\nsign=-\nempty=\nflag=1\noff=0\n");
  const ProfileFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadInteger("n", "dec", 7), 42);
  EXPECT_EQ(ini.ReadInteger("n", "neg", 7), -17);
  EXPECT_EQ(ini.ReadInteger("n", "plus", 7), 5);
  EXPECT_EQ(ini.ReadInteger("n", "hex", 7), 31);
  EXPECT_EQ(ini.ReadInteger("n", "upper", 7), 255);
  EXPECT_EQ(ini.ReadInteger("n", "colour", 7), int(0x80000010u));
  EXPECT_EQ(ini.ReadInteger("n", "zeros", 7), 10);
  EXPECT_EQ(ini.ReadInteger("n", "min", 7), INT32_MIN);
  EXPECT_EQ(ini.ReadInteger("n", "max", 7), INT32_MAX);
  for (const char* bad : {"over", "under", "hexover", "trail", "space", "barehex", "sign",
                          "empty", "missing"})
    EXPECT_EQ(ini.ReadInteger("n", bad, 7), 7) << bad;
  EXPECT_TRUE(ini.ReadBool("n", "flag", false));
  EXPECT_FALSE(ini.ReadBool("n", "off", true));
  EXPECT_TRUE(ini.ReadBool("n", "missing", true));
}

TEST(ProfileFile, WritesKeepTheRestOfTheFile) {
  TempDir dir;
  const std::string original =
      "; plugins of the viewer\r\n"
      "[Plugins]\r\n"
      "Count=1\r\n"
      "  ; keep me  \r\n"
      "Name1=Twirl\r\n"
      "\r\n"
      "\r\n"
      "[Other]\r\n"
      "x=1";  // no line break at the end
  dir.Write("p.ini", original);
  ProfileFile ini(dir.File("p.ini"));

  ini.WriteInteger("plugins", "COUNT", 2);  // replaced in place, name as it stands
  ini.WriteString("Plugins", "Name2", "Emboss");  // before the blank lines
  ini.WriteBool("Other", "Flag", true);  // after the unterminated last line
  ini.WriteString("New", "Key", "v");
  EXPECT_EQ(dir.Read("p.ini"),
            "; plugins of the viewer\r\n"
            "[Plugins]\r\n"
            "Count=2\r\n"
            "  ; keep me  \r\n"
            "Name1=Twirl\r\n"
            "Name2=Emboss\r\n"
            "\r\n"
            "\r\n"
            "[Other]\r\n"
            "x=1\r\n"
            "Flag=1\r\n"
            "[New]\r\n"
            "Key=v\r\n");
  EXPECT_EQ(ini.ReadInteger("Plugins", "Count", 0), 2);
  EXPECT_EQ(ini.ReadString("plugins", "name2", ""), "Emboss");

  ini.DeleteKey("Plugins", "name1");
  ini.EraseSection("OTHER");
  EXPECT_EQ(dir.Read("p.ini"),
            "; plugins of the viewer\r\n"
            "[Plugins]\r\n"
            "Count=2\r\n"
            "  ; keep me  \r\n"
            "Name2=Emboss\r\n"
            "\r\n"
            "\r\n"
            "[New]\r\n"
            "Key=v\r\n");
  ini.EraseSection("Absent");
  ini.DeleteKey("Plugins", "Absent");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Plugins", "New"}));
}

TEST(ProfileFile, CreatesFilesAndErasesDuplicateSections) {
  TempDir dir;
  ProfileFile ini(dir.File("new.ini"));
  ini.WriteString("A", "k", "line\nbreak");  // a value never spans lines
  ini.WriteString("A", "cr", "Co\rlFr");
  EXPECT_EQ(ini.ReadString("A", "cr", ""), "Co lFr");
  ini.DeleteKey("A", "cr");
  ini.WriteInteger("A", "n", -5);
  ini.WriteBool("B", "f", false);
  EXPECT_EQ(dir.Read("new.ini"), "[A]\nk=line break\nn=-5\n[B]\nf=0\n");

  dir.Write("dup.ini", "\xEF\xBB\xBF[s]\nk=1\n[t]\nk=2\n[S]\nk=3\n");
  ProfileFile dup(dir.File("dup.ini"));
  dup.EraseSection("s");
  EXPECT_EQ(dir.Read("dup.ini"), "\xEF\xBB\xBF[t]\nk=2\n");
  EXPECT_EQ(dup.ReadString("s", "k", "gone"), "gone");
}

TEST(ProfileFile, FailedWritesNameTheFile) {
  TempDir dir;
  dir.Write("plain", "not a folder");
  for (const std::string& path : {dir.File("no/such/folder/a.ini"), dir.File("plain/a.ini")}) {
    ProfileFile ini(path);
    try {
      ini.WriteString("s", "k", "v");
      ADD_FAILURE() << "no error for " << path;
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_THROW(ini.WriteInteger("s", "k", 1), EFileError);
    EXPECT_EQ(ini.ReadString("s", "k", "d"), "d");
  }
}

TEST(ProfileFile, UpdatesReachTheFileInOneWrite) {
  TempDir dir;
  dir.Write("a.ini", "; kept\r\n[s]\r\nk=1\r\n");
  ProfileFile ini(dir.File("a.ini"));
  ini.BeginUpdate();
  ini.WriteString("s", "k", "2");
  ini.WriteInteger("t", "n", 3);
  ini.DeleteKey("s", "k");
  ini.WriteString("s", "j", "4");
  EXPECT_EQ(ini.ReadString("s", "j", ""), "4");  // reads see the edits
  EXPECT_FALSE(ini.ValueExists("s", "k"));
  EXPECT_EQ(dir.Read("a.ini"), "; kept\r\n[s]\r\nk=1\r\n");
  ini.EndUpdate();
  EXPECT_EQ(dir.Read("a.ini"), "; kept\r\n[s]\r\nj=4\r\n[t]\r\nn=3\r\n");

  const std::string path = dir.File("no/such/folder/b.ini");
  ProfileFile lost(path);
  lost.BeginUpdate();
  lost.WriteString("s", "k", "v");
  try {
    lost.EndUpdate();
    ADD_FAILURE() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_EQ(lost.ReadString("s", "k", "d"), "d");  // the failed edits are dropped
}

TEST(ProfileFile, OversizedFilesAreNeitherReadNorOverwritten) {
  TempDir dir;
  const std::string big = "[s]\nk=v\n" + std::string((16 << 20) + 1, ';');
  dir.Write("big.ini", big);
  ProfileFile ini(dir.File("big.ini"));
  EXPECT_EQ(ini.ReadString("s", "k", "d"), "d");
  EXPECT_THROW(ini.WriteString("s", "k", "w"), EFileError);
  EXPECT_EQ(dir.Read("big.ini").size(), big.size());
}

// The program folder's profile files with the folder writable and read-only: writes to a
// read-only folder go to a per-user copy made from the folder's file, later reads prefer the
// copy, and the folder itself is never written.
TEST(ProfileFile, ReadOnlyProgramFolderKeepsPerUserCopies) {
  struct Case {
    const char* file;  // as the program forms it from the program folder
    bool readOnly;
    const char* user;  // where the edit lands, relative to the user folder; empty: in place
  };
  const Case cases[] = {
      {"program/skins.ini", false, ""},
      {"program/plugins/colourpicker/plugin.pcf", false, ""},
      {"program/skins.ini", true, "skins.ini"},
      {"program/plugins.ini", true, "plugins.ini"},
      {"program/plugins//colourpicker/plugin.pcf", true, "plugins/colourpicker/plugin.pcf"},
      {"program/../elsewhere/plugin.pcf", true, ""},  // outside the program folder
      {"programs.ini", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.readOnly ? " read-only" : " writable"));
    TempDir dir;
    const std::string file = dir.File(c.file);
    std::filesystem::create_directories(dir.File("program"));
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    dir.Write(c.file, "; shipped\n[s]\nk=shipped\nkeep=1\n");
    UseProgramFiles(ProgramFiles(dir.File("program/"), dir.File("user/"), c.readOnly));
    ProfileFile ini(file);
    EXPECT_EQ(ini.ReadString("s", "k", ""), "shipped");
    ini.WriteString("s", "k", "first");
    EXPECT_EQ(ini.ReadString("s", "k", ""), "first");
    EXPECT_EQ(ini.ReadString("s", "keep", ""), "1");  // the copy starts from the folder's text
    ini.BeginUpdate();
    ini.WriteString("s", "k", "second");
    ini.EndUpdate();
    EXPECT_EQ(ProfileFile(file).ReadString("s", "k", ""), "second");
    if (*c.user) {
      EXPECT_EQ(dir.Read(c.file), "; shipped\n[s]\nk=shipped\nkeep=1\n");
      EXPECT_EQ(dir.Read("user/" + std::string(c.user)), "; shipped\n[s]\nk=second\nkeep=1\n");
    } else {
      EXPECT_EQ(dir.Read(c.file), "; shipped\n[s]\nk=second\nkeep=1\n");
      EXPECT_FALSE(std::filesystem::exists(dir.File("user")));
    }
    ForgetProgramFiles();
  }
}

TEST(ProgramFiles, AnInstalledFolderIsNeverWrittenAlsoWhenItCouldBe) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("program"));
  const auto writeGoesTo = [&] {
    return ProgramFiles::ForFolder(dir.File("program/"), dir.File("user/"))
        .WritePath(dir.File("program/skins.ini"));
  };
  EXPECT_EQ(writeGoesTo(), dir.File("program/skins.ini"));  // a build's folder
  dir.Write(std::string("program/") + kInstalledMarker, "");
  EXPECT_EQ(writeGoesTo(), dir.File("user/skins.ini"));
}

}  // namespace
}  // namespace velk
