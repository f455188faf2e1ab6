#include "widgets/file_list_box.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "platform/errors.h"
#include "support/temp_dir.h"
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
  std::vector<std::string> Names(const TFileListBox& list) { return list.Items(); }

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
  EXPECT_TRUE(list.selectedItems().isEmpty());

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
  const QPoint row3 = list.visualItemRect(list.item(3)).center();

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

}  // namespace
}  // namespace velk
