#include "widgets/folder_path.h"

#include <QDir>
#include <QFileInfo>

#include "platform/errors.h"

namespace velk {

QString ResolveFolder(const QString& path, const QString& base) {
  const QString absolute = QDir::cleanPath(QDir(base).absoluteFilePath(path));
  const QFileInfo info(absolute);
  if (!info.isDir())
    throw EVelkError(FormatMessage("The folder '%s' does not exist", absolute.toStdString()));
  if (!info.isExecutable())
    throw EVelkError(FormatMessage("The folder '%s' cannot be opened", absolute.toStdString()));
  return absolute;
}

QString JoinPath(const QString& folder, const QString& name) {
  return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

bool NameLess(const QString& a, const QString& b) {
  const int order = QString::compare(a, b, Qt::CaseInsensitive);
  return order != 0 ? order < 0 : a < b;
}

}  // namespace velk
