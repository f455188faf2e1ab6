#pragma once
// The drive box: desktop, computer and the mounted drives, with the current folder's chain of
// parents opened out below its drive, one indent per level, each with its theme icon and
// display name. Picking an entry moves the current path there and raises OnChange.
#include <QComboBox>
#include <string>
#include <vector>

#include "chrome/drives.h"
#include "chrome/shell_items.h"

namespace velk {

class TPathComboBox : public QComboBox {
  Q_OBJECT
public:
  // drives gives the drive roots once, at construction (default: the mounted file systems).
  explicit TPathComboBox(QWidget* parent = nullptr, DriveList drives = MountedDriveRoots);

  // The current path, ending in "/" unless empty (the computer); initially the current directory.
  const std::string& Path() const { return path_; }
  // Appends a missing "/"; when that differs from Path, rebuilds the list and raises OnChange.
  void SetPath(std::string path);

  // The path an entry stands for, and its number: 4 times its indent level, plus 1 for the
  // current folder's entry.
  std::string EntryPath(int index) const;
  int EntryNumber(int index) const;
  // The desktop entry's path: the desktop folder with "/" appended ("" when there is none).
  const std::string& DesktopPath() const { return desktopPath_; }
  const std::vector<std::string>& Drives() const { return drives_; }
  // Height of every entry: the larger of the font's height plus 2 and the icon height.
  int ItemHeight() const { return itemHeight_; }

signals:
  void OnChange(QObject* sender);

protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void RebuildList();
  void AddEntry(const std::string& path, int number);
  // Takes the selected entry as the path, unless the list is still open.
  void TakeSelection();
  void UpdateItemHeight();

  std::string path_;
  std::vector<std::string> drives_;
  std::string desktopPath_;
  ShellItem desktopItem_;
  ShellItem computerItem_;
  int itemHeight_ = 16;
};

}  // namespace velk
