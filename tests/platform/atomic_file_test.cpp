#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/errors.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using test::TempDir;

size_t EntriesIn(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(AtomicFile, ReplacesContentsAndKeepsTheMode) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  dir.Write("settings.ini", "old contents that are longer");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(path, std::string_view("new")));
  EXPECT_EQ(dir.Read("settings.ini"), "new");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);  // no temporary file left behind

  ASSERT_TRUE(WriteFileAtomically(dir.File("empty"), std::string_view()));
  EXPECT_EQ(*ReadWholeFile(dir.File("empty")), std::vector<uint8_t>());
}

TEST(AtomicFile, FailureLeavesTheOldFile) {
  TempDir dir;
  dir.Write("keep", "precious");
  std::filesystem::create_directory(dir.File("folder"));
  // Renaming a file over a folder fails after the data was written.
  EXPECT_FALSE(WriteFileAtomically(dir.File("folder"), std::string_view("data")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
  EXPECT_FALSE(WriteFileAtomically(dir.File("missing/keep"), std::string_view("data")));
  EXPECT_EQ(dir.Read("keep"), "precious");
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(AtomicFile, ReadRefusesWhatItCannotHold) {
  TempDir dir;
  dir.Write("ten", "0123456789");
  EXPECT_EQ(ReadWholeFile(dir.File("ten"), 10)->size(), 10u);
  EXPECT_FALSE(ReadWholeFile(dir.File("ten"), 9));
  EXPECT_FALSE(ReadWholeFile(dir.File("nothing")));
  EXPECT_FALSE(ReadWholeFile(dir.Path()));  // a folder is not a file
}

// Every way a picture's file cannot be read gives its reason at once; a pipe never waits for
// a writer.
TEST(AtomicFile, UnreadableFilesAreToldApartWithoutWaiting) {
  TempDir dir;
  dir.Write("picture", "bytes");
  dir.Write("empty", "");
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0666), 0);
  const std::pair<const char*, const char*> cases[] = {
      {"picture", ""},
      {"missing", "No such file or directory"},
      {"empty", "The file is empty"},
      {"folder", "It is not a regular file"},
      {"pipe", "It is not a regular file"},
  };
  for (const auto& [name, why] : cases) {
    std::string message;
    try {
      CheckFileReadable(dir.File(name));
    } catch (const EFileError& error) {
      message = error.what();
    }
    EXPECT_EQ(message, *why ? "Cannot open file \"" + dir.File(name) + "\". " + why : "") << name;
  }
}

}  // namespace
}  // namespace velk
