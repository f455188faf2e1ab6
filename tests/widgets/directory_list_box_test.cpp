#include "widgets/directory_list_box.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "platform/errors.h"
#include "support/temp_dir.h"
#include "widgets/file_list_box.h"

namespace velk {
namespace {

struct Entry {
  std::string text;
  int level;
  std::string path;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> Entries(const TDirectoryListBox& list) {
  std::vector<Entry> entries;
  for (int i = 0; i < list.count(); ++i)
    entries.push_back({list.item(i)->text().toStdString(),
                       list.item(i)->data(TDirectoryListBox::LevelRole).toInt(),
                       list.ItemPath(i)});
  return entries;
}

// <temp>/outer/inner holding the subfolders "beta", ".git", "Alpha" and a file.
class DirectoryListBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    inner = dir.Path() + "/outer/inner";
    for (const char* name : {"beta", ".git", "Alpha"})
      std::filesystem::create_directories(inner + "/" + name);
    dir.Write("outer/inner/file.jpg", "x");
  }
  test::TempDir dir;
  std::string inner;
};

TEST_F(DirectoryListBoxTest, ShowsThePathDownToTheFolderThenItsSubfolders) {
  TDirectoryListBox list;
  list.SetDirectory(inner);
  EXPECT_EQ(list.Directory(), inner);

  const std::vector<Entry> entries = Entries(list);
  const auto parts = std::count(inner.begin(), inner.end(), '/');  // levels below the root
  ASSERT_EQ(entries.size(), static_cast<size_t>(parts + 1 + 3));
  EXPECT_EQ(entries[0], (Entry{"/", 0, "/"}));
  const size_t current = parts;
  EXPECT_EQ(entries[current], (Entry{"inner", static_cast<int>(parts), inner}));
  EXPECT_EQ(entries[current - 1], (Entry{"outer", static_cast<int>(parts) - 1, dir.Path() + "/outer"}));
  const int sub = static_cast<int>(parts) + 1;
  EXPECT_EQ(entries[current + 1], (Entry{".git", sub, inner + "/.git"}));
  EXPECT_EQ(entries[current + 2], (Entry{"Alpha", sub, inner + "/Alpha"}));
  EXPECT_EQ(entries[current + 3], (Entry{"beta", sub, inner + "/beta"}));
  EXPECT_EQ(list.currentRow(), static_cast<int>(current));  // the current folder is highlighted
}

TEST_F(DirectoryListBoxTest, NormalisesPathsAndTellsEveryChange) {
  TDirectoryListBox list;
  list.SetDirectory(inner);
  QSignalSpy changes(&list, &TDirectoryListBox::OnChange);

  list.SetDirectory("..");  // relative to the current directory
  EXPECT_EQ(list.Directory(), dir.Path() + "/outer");
  list.SetDirectory(dir.Path() + "/outer/./inner/beta/");
  EXPECT_EQ(list.Directory(), inner + "/beta");
  list.SetDirectory(inner + "/beta");  // no change, no event
  // A missing folder throws, naming it, and changes nothing.
  try {
    list.SetDirectory("../gone");
    FAIL() << "no exception";
  } catch (const EVelkError& error) {
    EXPECT_NE(std::string(error.what()).find(inner + "/gone"), std::string::npos);
  }
  EXPECT_EQ(list.Directory(), inner + "/beta");
  ASSERT_EQ(changes.count(), 2);
  EXPECT_EQ(changes.last().at(0).value<QObject*>(), &list);

  list.SetDirectory("/");
  EXPECT_EQ(list.Directory(), "/");
  EXPECT_EQ(list.item(0)->text(), "/");
  EXPECT_EQ(list.currentRow(), 0);
}

TEST_F(DirectoryListBoxTest, DoubleClickAndEnterOpenEntriesAndTheFileListFollows) {
  TDirectoryListBox list;
  list.SetDirectory(inner);
  TFileListBox files;
  list.SetFileList(&files);
  EXPECT_EQ(files.Directory(), inner);
  EXPECT_EQ(files.Items(), std::vector<std::string>{"file.jpg"});

  list.resize(250, 400);
  list.show();
  const int alpha = list.count() - 2;
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualItemRect(list.item(alpha)).center());
  EXPECT_EQ(list.Directory(), inner);  // a single click only moves the highlight
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {},
                     list.visualItemRect(list.item(alpha)).center());
  EXPECT_EQ(list.Directory(), inner + "/Alpha");
  EXPECT_EQ(files.Directory(), inner + "/Alpha");
  EXPECT_TRUE(files.Items().empty());

  list.setCurrentRow(list.currentRow() - 2);  // "outer"
  QTest::keyClick(&list, Qt::Key_Return);
  EXPECT_EQ(list.Directory(), dir.Path() + "/outer");
  EXPECT_EQ(files.Directory(), dir.Path() + "/outer");

  // A file name with a folder goes through the folder list, so both follow.
  files.SetFileName(inner + "/file.jpg");
  EXPECT_EQ(list.Directory(), inner);
  EXPECT_EQ(files.FileName(), inner + "/file.jpg");
}

}  // namespace
}  // namespace velk
