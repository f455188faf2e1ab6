#pragma once
// File masks as the file list uses them: several masks separated by ";", "*" and "?" wildcards,
// compared without regard to case, with the Windows rules for a trailing ".*" and ".".
#include <QString>
#include <QStringList>

namespace velk {

class FileMask {
public:
  // "*.jpg;*.bmp;" gives two patterns; empty entries are dropped. A mask without any pattern
  // matches every name, as "*.*" does.
  explicit FileMask(const QString& mask = QString());

  bool Matches(const QString& name) const;
  const QStringList& Patterns() const { return patterns_; }

private:
  QStringList patterns_;
};

// One pattern against one name, with the Windows rules: "x.*" also matches "x" (so "*.*"
// matches every name) and "x." matches only names without a dot.
bool MatchesPattern(const QString& pattern, const QString& name);

}  // namespace velk
