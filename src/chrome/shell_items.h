#pragma once
// Display names and small icons for the entries of the drive box: the desktop, the computer,
// drives and folders, from the icon theme.
#include <QIcon>
#include <QString>
#include <string>

namespace velk {

struct ShellItem {
  QString name;
  QIcon icon;
};

ShellItem DesktopShellItem();
ShellItem ComputerShellItem();
// A drive root ("/", "/mnt/data/"): its volume label when it has one, else its path.
ShellItem DriveShellItem(const std::string& root);
// A folder path ending in "/": its own name; open gives the open-folder icon.
ShellItem FolderShellItem(const std::string& path, bool open);

}  // namespace velk
