#include "widgets/folder_path.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "platform/errors.h"

namespace velk {
namespace {

// The name with its case folded; plain ASCII names, the usual ones, without a detour.
std::string CaseKey(const std::string& name) {
  std::string key = name;
  for (char& c : key) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return QString::fromStdString(name).toCaseFolded().toStdString();
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return key;
}

}  // namespace

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

bool NameLess(const std::string& a, const std::string& b) {
  const int order = CaseKey(a).compare(CaseKey(b));
  return order != 0 ? order < 0 : a < b;
}

void SortNames(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;  // (key, name): pairs sort as NameLess
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(CaseKey(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  for (size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace velk
