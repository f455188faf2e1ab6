#include "chrome/shell_items.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>

namespace velk {
namespace {

const QFileIconProvider& Provider() {
  static const QFileIconProvider provider;
  return provider;
}

}  // namespace

ShellItem DesktopShellItem() {
  return {QStandardPaths::displayName(QStandardPaths::DesktopLocation),
          Provider().icon(QAbstractFileIconProvider::Desktop)};
}

ShellItem ComputerShellItem() {
  return {QStringLiteral("Computer"), Provider().icon(QAbstractFileIconProvider::Computer)};
}

ShellItem DriveShellItem(const std::string& root) {
  const QString path = QString::fromStdString(root);
  const QString label = QStorageInfo(path).name();
  return {label.isEmpty() ? path : label, Provider().icon(QAbstractFileIconProvider::Drive)};
}

ShellItem FolderShellItem(const std::string& path, bool open) {
  QString folder = QString::fromStdString(path);
  while (folder.size() > 1 && folder.endsWith('/')) folder.chop(1);
  const QString name = QFileInfo(folder).fileName();
  QIcon icon;
  if (open) {
    icon = QIcon::fromTheme(QStringLiteral("folder-open"),
                            QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon));
  } else {
    icon = Provider().icon(QAbstractFileIconProvider::Folder);
  }
  return {name.isEmpty() ? folder : name, icon};
}

}  // namespace velk
