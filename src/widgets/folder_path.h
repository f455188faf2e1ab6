#pragma once
// Folder paths as the folder and file lists keep them: absolute, cleaned, without a trailing "/"
// except for the root.
#include <QString>

namespace velk {

// `path` resolved against `base` (relative paths, ".", ".." and "" all work as a change of
// folder from `base` would). Throws EVelkError when the result is not a folder one can enter.
QString ResolveFolder(const QString& path, const QString& base);
// A folder and a name joined with exactly one "/".
QString JoinPath(const QString& folder, const QString& name);
// Case-insensitive order with a case-sensitive tie-break, so the order is always the same.
bool NameLess(const QString& a, const QString& b);

}  // namespace velk
