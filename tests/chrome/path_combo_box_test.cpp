#include "chrome/path_combo_box.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "scoped_env.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

using test::ScopedEnv;
using test::TempDir;

struct Entry {
  std::string path;
  int number;
  bool operator==(const Entry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Entry& e) {
  return out << "{\"" << e.path << "\", " << e.number << "}";
}

std::vector<Entry> Entries(const TPathComboBox& box) {
  std::vector<Entry> entries;
  for (int i = 0; i < box.count(); ++i) entries.push_back({box.EntryPath(i), box.EntryNumber(i)});
  return entries;
}

// A home with its desktop in a folder of its own and a fixed list of two drives.
class PathComboBoxTest : public ::testing::Test {
protected:
  PathComboBoxTest()
      : home_("HOME", dir_.Path()), config_("XDG_CONFIG_HOME", dir_.Path()) {
    dir_.Write("user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n");
    desktop_ = dir_.Path() + "/Desk/";
  }
  static std::vector<std::string> TwoDrives() { return {"/", "/mnt/data"}; }

  TempDir dir_;
  ScopedEnv home_, config_;
  std::string desktop_;
};

TEST_F(PathComboBoxTest, ListsTheFoldersDownToTheCurrentOneUnderItsDrive) {
  TPathComboBox box(nullptr, TwoDrives);
  EXPECT_EQ(box.Path(), QDir::currentPath().toStdString() + "/");
  EXPECT_EQ(box.DesktopPath(), desktop_);
  box.SetPath("/usr/share/doc");
  EXPECT_EQ(Entries(box), (std::vector<Entry>{{desktop_, 0}, {"", 4}, {"/", 8}, {"/usr/", 12},
                                              {"/usr/share/", 16}, {"/usr/share/doc/", 21},
                                              {"/mnt/data/", 8}}));
  EXPECT_EQ(box.currentIndex(), 5);

  box.SetPath("/mnt/data/photos/");  // on the second drive, below a deeper root
  EXPECT_EQ(Entries(box), (std::vector<Entry>{{desktop_, 0}, {"", 4}, {"/", 8}, {"/mnt/data/", 8},
                                              {"/mnt/data/photos/", 13}}));
  EXPECT_EQ(box.currentIndex(), 4);
}

TEST_F(PathComboBoxTest, DriveRootsEmptyPathAndDesktop) {
  TPathComboBox box(nullptr, TwoDrives);
  const std::vector<Entry> allDrives{{desktop_, 0}, {"", 4}, {"/", 8}, {"/mnt/data/", 8}};
  box.SetPath("/");
  EXPECT_EQ(Entries(box), allDrives);
  EXPECT_EQ(box.currentIndex(), 2);
  box.SetPath("");
  EXPECT_EQ(Entries(box), allDrives);
  EXPECT_EQ(box.currentIndex(), 1);
  box.SetPath(desktop_);
  EXPECT_EQ(Entries(box), allDrives);
  EXPECT_EQ(box.currentIndex(), 0);
  // A path on no drive keeps only the desktop and the computer, with nothing selected.
  box.SetPath("relative/folder/");
  EXPECT_EQ(Entries(box), (std::vector<Entry>{{desktop_, 0}, {"", 4}}));
  EXPECT_EQ(box.currentIndex(), -1);
}

TEST_F(PathComboBoxTest, OnChangeOnlyWhenThePathReallyChanges) {
  TPathComboBox box(nullptr, TwoDrives);
  QSignalSpy changes(&box, &TPathComboBox::OnChange);
  box.SetPath("/usr/lib");
  EXPECT_EQ(box.Path(), "/usr/lib/");
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes[0][0].value<QObject*>(), &box);
  box.SetPath("/usr/lib");
  box.SetPath("/usr/lib/");
  EXPECT_EQ(changes.count(), 1);
  box.SetPath("/usr/Lib");  // file names differ by case here
  EXPECT_EQ(changes.count(), 2);
  // Selecting an entry by program is not a choice of the user.
  box.setCurrentIndex(2);
  EXPECT_EQ(box.Path(), "/usr/Lib/");
  EXPECT_EQ(changes.count(), 2);
}

TEST_F(PathComboBoxTest, ChoosingAnEntryMakesItThePath) {
  TPathComboBox box(nullptr, TwoDrives);
  box.SetPath("/usr/share/");
  QSignalSpy changes(&box, &TPathComboBox::OnChange);
  box.setCurrentIndex(1);  // the computer
  emit box.activated(1);
  EXPECT_EQ(box.Path(), "");
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(box.currentIndex(), 1);

  // Arrow keys in the closed box choose at once.
  box.SetPath("/usr/share/");
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_Up);
  EXPECT_EQ(box.Path(), "/usr/");
}

TEST_F(PathComboBoxTest, OpenListTakesTheHighlightedEntryOnEnterOrEscape) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    TPathComboBox box(nullptr, TwoDrives);
    box.SetPath("/usr/share/");
    box.show();
    box.showPopup();
    ASSERT_TRUE(box.view()->isVisible());
    QSignalSpy changes(&box, &TPathComboBox::OnChange);
    QTest::keyClick(box.view(), Qt::Key_Up);
    QTest::keyClick(box.view(), Qt::Key_Up);
    EXPECT_EQ(box.Path(), "/usr/share/");  // moving through the open list changes nothing
    EXPECT_EQ(changes.count(), 0);
    QTest::keyClick(box.view(), key);
    EXPECT_FALSE(box.view()->isVisible());
    EXPECT_EQ(box.Path(), "/") << "key " << key;
    EXPECT_EQ(changes.count(), 1);
  }
}

TEST_F(PathComboBoxTest, EntriesCarryNamesIconsAndAFontDependentHeight) {
  TPathComboBox box(nullptr, TwoDrives);
  box.SetPath("/usr/share/");
  EXPECT_EQ(box.itemData(3, Qt::UserRole + 1).toString(), "usr");
  EXPECT_EQ(box.itemData(4, Qt::UserRole + 1).toString(), "share");
  EXPECT_EQ(box.itemData(2, Qt::UserRole + 1).toString(), "/");
  for (int i = 0; i < box.count(); ++i) EXPECT_FALSE(box.itemIcon(i).isNull()) << i;

  QFont font = box.font();
  font.setPixelSize(40);
  box.setFont(font);
  EXPECT_EQ(box.ItemHeight(), QFontMetrics(font).height() + 2);
  font.setPixelSize(6);
  box.setFont(font);
  EXPECT_EQ(box.ItemHeight(), 16);  // never below the icons
}

}  // namespace
}  // namespace velk
