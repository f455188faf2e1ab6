#include "widgets/file_list_box.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <functional>

#include "platform/errors.h"
#include "support/temp_dir.h"
#include "widgets/directory_list_box.h"
#include "widgets/filter_combo_box.h"

namespace velk {
namespace {

const char kViewerFilter[] =
    "All Supported Files|*.jpg;*.bmp;*.gif;*.tif*;*.wmf;*.ico;*.emf;|All Files|*.*";

// A folder with pictures, other files, a hidden file and a subfolder.
class FileListBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : {"b.JPG", "a.bmp", "C.gif", "notes.txt", "README", ".hidden.jpg",
                             "scan.tiff"})
      dir.Write(name, "x");
    std::filesystem::create_directory(dir.File("sub.jpg"));  // a folder is never listed
  }
  std::vector<std::string> Names(TFileListBox& list) { return list.Items(); }

  test::TempDir dir;
};

TEST_F(FileListBoxTest, ListsMatchingRegularFilesSortedWithoutRegardToCase) {
  TFileListBox list;
  list.SetDirectory(dir.Path());
  EXPECT_EQ(list.Directory(), dir.Path());
  EXPECT_EQ(Names(list), (std::vector<std::string>{".hidden.jpg", "a.bmp", "b.JPG", "C.gif",
                                                   "notes.txt", "README", "scan.tiff"}));
  list.SetMask("*.jpg;*.bmp;*.gif;*.tif*;*.wmf;*.ico;*.emf;");
  EXPECT_EQ(Names(list),
            (std::vector<std::string>{".hidden.jpg", "a.bmp", "b.JPG", "C.gif", "scan.tiff"}));
  EXPECT_EQ(list.count(), 5);
}

TEST_F(FileListBoxTest, EveryRereadClearsTheSelectionAndFiresOnChange) {
  TFileListBox list;
  list.SetDirectory(dir.Path());
  QSignalSpy changes(&list, &TFileListBox::OnChange);

  list.SetItemIndex(2);
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes.last().at(0).value<QObject*>(), &list);
  EXPECT_EQ(list.FileName(), dir.File("b.JPG"));

  list.SetMask("*.gif");  // new mask
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.FileName(), "");
  EXPECT_FALSE(list.selectionModel()->hasSelection());

  list.SetItemIndex(0);
  list.SetDirectory(dir.File("sub.jpg"));  // new folder
  EXPECT_EQ(changes.count(), 4);
  EXPECT_EQ(list.ItemIndex(), -1);

  // The same folder or mask again is no change and reads nothing.
  list.SetDirectory(dir.File("sub.jpg/../sub.jpg/"));
  list.SetMask("*.gif");
  EXPECT_EQ(changes.count(), 4);
}

TEST_F(FileListBoxTest, OnChangeFiresOnlyWhenTheSelectionReallyChanges) {
  TFileListBox list;
  list.SetDirectory(dir.Path());
  QSignalSpy changes(&list, &TFileListBox::OnChange);
  list.SetItemIndex(1);
  list.SetItemIndex(1);
  list.SetFileName(dir.File("a.bmp"));  // the entry already selected
  EXPECT_EQ(changes.count(), 1);
  list.SetItemIndex(-1);
  list.SetItemIndex(99);  // outside the list: nothing selected, which it already was
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST_F(FileListBoxTest, MouseAndKeyboardSelectionFireOnChangeAndDoubleClickFiresOnDblClick) {
  TFileListBox list;
  list.SetDirectory(dir.Path());
  list.resize(200, 300);
  list.show();
  QSignalSpy changes(&list, &TFileListBox::OnChange);
  QSignalSpy doubleClicks(&list, &TFileListBox::OnDblClick);
  ASSERT_EQ(list.count(), 7);  // waits for the folder to be read
  const QPoint row3 = list.visualRect(list.model()->index(3, 0)).center();

  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row3);
  EXPECT_EQ(list.ItemIndex(), 3);
  EXPECT_EQ(changes.count(), 1);
  // A ctrl-click on the selected entry keeps it selected.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, row3);
  EXPECT_EQ(list.ItemIndex(), 3);
  EXPECT_EQ(changes.count(), 1);

  QTest::keyClick(&list, Qt::Key_Down);
  EXPECT_EQ(list.ItemIndex(), 4);
  EXPECT_EQ(changes.count(), 2);

  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row3);
  EXPECT_EQ(doubleClicks.count(), 1);
}

TEST_F(FileListBoxTest, SetFileNameSwitchesTheMaskToANameTheMaskDoesNotList) {
  TFileListBox list;
  list.SetDirectory(dir.Path());
  list.SetMask("*.jpg");
  QSignalSpy changes(&list, &TFileListBox::OnChange);

  list.SetFileName(dir.File("b.jpg"));  // listed, found without regard to case
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(list.Mask(), "*.jpg");

  list.SetFileName(dir.File("notes.txt"));
  EXPECT_EQ(list.Mask(), "notes.txt");
  EXPECT_EQ(list.Items(), std::vector<std::string>{"notes.txt"});
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_EQ(list.FileName(), dir.File("notes.txt"));
  EXPECT_EQ(changes.count(), 3);  // selection, re-read, selection

  // A name that does not exist selects nothing and leaves the mask.
  list.SetFileName(dir.File("missing.jpg"));
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.Mask(), "notes.txt");
}

TEST_F(FileListBoxTest, SetFileNameOpensTheFilesFolderAndTakesWildcardsAsTheMask) {
  test::TempDir other;
  other.Write("z.gif", "x");
  TFileListBox list;
  list.SetDirectory(dir.Path());
  list.SetFileName(other.File("z.gif"));
  EXPECT_EQ(list.Directory(), other.Path());
  EXPECT_EQ(list.FileName(), other.File("z.gif"));

  list.SetFileName(dir.File("*.BMP"));
  EXPECT_EQ(list.Directory(), dir.Path());
  EXPECT_EQ(list.Mask(), "*.BMP");
  EXPECT_EQ(list.Items(), std::vector<std::string>{"a.bmp"});
}

TEST_F(FileListBoxTest, FilterBoxDrivesTheLinkedFileList) {
  TFileListBox list;
  list.SetDirectory(dir.Path());
  TFilterComboBox filter;
  filter.SetFilter(kViewerFilter);
  ASSERT_EQ(filter.count(), 2);
  EXPECT_EQ(filter.itemText(0), "All Supported Files");
  EXPECT_EQ(filter.itemText(1), "All Files");
  EXPECT_EQ(filter.ItemIndex(), 0);
  EXPECT_EQ(filter.Mask(), "*.jpg;*.bmp;*.gif;*.tif*;*.wmf;*.ico;*.emf;");

  filter.SetItemIndex(1);  // not linked yet: the list keeps its mask
  EXPECT_EQ(list.Mask(), "*.*");
  filter.SetItemIndex(0);
  filter.SetFileList(&list);
  EXPECT_EQ(list.Items().size(), 5u);

  QSignalSpy listChanges(&list, &TFileListBox::OnChange);
  QSignalSpy filterChanges(&filter, &TFilterComboBox::OnChange);
  filter.SetItemIndex(1);
  EXPECT_EQ(list.Mask(), "*.*");
  EXPECT_EQ(list.Items().size(), 7u);
  EXPECT_EQ(listChanges.count(), 1);
  EXPECT_EQ(filterChanges.count(), 0);  // OnChange is the user's choice only

  filter.SetItemIndex(-1);
  EXPECT_EQ(filter.Mask(), "*.*");
}

// The list follows its folder on disk without a re-read: the selected file stays selected
// (under its new name when renamed); when it leaves the list, the entry in its place is
// selected and OnChange fires, as for a step to it.
TEST(FileListFollowsTheDisk, AddsRemovesAndRenamesEntriesKeepingTheSelectedFile) {
  namespace fs = std::filesystem;
  using Dir = const test::TempDir&;
  std::vector<std::string> hundred = {"a.jpg", "b.jpg", "c.jpg", "d.jpg"};
  for (int i = 100; i < 200; ++i) hundred.push_back("m" + std::to_string(i) + ".jpg");
  struct Case {
    const char* what;
    const char* selected;
    std::function<void(Dir)> change;
    std::vector<std::string> names;
    const char* selectedAfter;  // "" for nothing selected
    int changes;                // OnChange signals
  };
  const Case cases[] = {
      {"files made, one the mask leaves out, one gone again at once", "b.jpg",
       [](Dir d) {
         d.Write("bb.jpg", "x");
         d.Write("notes.txt", "x");
         d.Write("tmp.jpg", "x");
         fs::remove(d.File("tmp.jpg"));
       },
       {"a.jpg", "b.jpg", "bb.jpg", "c.jpg", "d.jpg"}, "b.jpg", 0},
      {"a file removed before the selected one", "b.jpg",
       [](Dir d) { fs::remove(d.File("a.jpg")); }, {"b.jpg", "c.jpg", "d.jpg"}, "b.jpg", 0},
      {"a file renamed", "b.jpg", [](Dir d) { fs::rename(d.File("c.jpg"), d.File("0.jpg")); },
       {"0.jpg", "a.jpg", "b.jpg", "d.jpg"}, "b.jpg", 0},
      {"the selected file renamed", "b.jpg",
       [](Dir d) { fs::rename(d.File("b.jpg"), d.File("z.jpg")); },
       {"a.jpg", "c.jpg", "d.jpg", "z.jpg"}, "z.jpg", 0},
      {"the selected file removed", "b.jpg", [](Dir d) { fs::remove(d.File("b.jpg")); },
       {"a.jpg", "c.jpg", "d.jpg"}, "c.jpg", 1},
      {"the selected file renamed out of the mask", "b.jpg",
       [](Dir d) { fs::rename(d.File("b.jpg"), d.File("b.txt")); },
       {"a.jpg", "c.jpg", "d.jpg"}, "c.jpg", 1},
      {"the last file, selected, removed", "d.jpg", [](Dir d) { fs::remove(d.File("d.jpg")); },
       {"a.jpg", "b.jpg", "c.jpg"}, "c.jpg", 1},
      {"a hundred files made at once", "b.jpg",
       [](Dir d) {
         for (int i = 100; i < 200; ++i) d.Write("m" + std::to_string(i) + ".jpg", "x");
       },
       hundred, "b.jpg", 0},
      {"the folder itself removed", "b.jpg", [](Dir d) { fs::remove_all(d.Path()); }, {}, "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) dir.Write(name, "x");
    TFileListBox list;
    list.SetMask("*.jpg");
    list.SetFileName(dir.File(c.selected));
    QSignalSpy changes(&list, &TFileListBox::OnChange);

    c.change(dir);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.Items() == c.names; }, 10000));
    EXPECT_EQ(list.FileName(), *c.selectedAfter ? dir.File(c.selectedAfter) : "");
    const QModelIndexList rows = list.selectionModel()->selectedRows();
    EXPECT_EQ(rows.isEmpty() ? -1 : rows.first().row(), list.ItemIndex());
    EXPECT_EQ(changes.count(), c.changes);
  }
}

// Links count as what they point to, in both lists; a broken one is in neither.
TEST(FolderLinks, AreListedAsWhatTheyPointTo) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  dir.Write("real.jpg", "x");
  fs::create_directory(dir.File("folder"));
  fs::create_symlink(dir.File("real.jpg"), dir.File("link.jpg"));
  fs::create_symlink(dir.File("folder"), dir.File("folderlink.jpg"));
  fs::create_symlink(dir.File("missing.jpg"), dir.File("broken.jpg"));
  TDirectoryListBox folders;
  TFileListBox files;
  folders.SetFileList(&files);
  folders.SetDirectory(dir.Path());
  EXPECT_EQ(files.Items(), (std::vector<std::string>{"link.jpg", "real.jpg"}));
  std::vector<std::string> subfolders;
  for (int i = 0; i < folders.count(); ++i)
    if (folders.ItemPath(i).starts_with(dir.Path() + "/"))
      subfolders.push_back(folders.item(i)->text().toStdString());
  EXPECT_EQ(subfolders, (std::vector<std::string>{"folder", "folderlink.jpg"}));
}

}  // namespace
}  // namespace velk
