#pragma once
// Folder paths as the folder and file lists keep them: absolute, cleaned, without a trailing "/"
// except for the root.
#include <QString>
#include <string>
#include <vector>

namespace velk {

// `path` resolved against `base` (relative paths, ".", ".." and "" all work as a change of
// folder from `base` would). Throws EVelkError when the result is not a folder one can enter.
QString ResolveFolder(const QString& path, const QString& base);
// A folder and a name joined with exactly one "/".
QString JoinPath(const QString& folder, const QString& name);
// The lists' order of UTF-8 names: without regard to case, then case-sensitive, so that it is
// always the same.
bool NameLess(const std::string& a, const std::string& b);
// Sorts names in that order, folding each name's case once.
void SortNames(std::vector<std::string>& names);

}  // namespace velk
