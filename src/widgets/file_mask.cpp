#include "widgets/file_mask.h"

namespace velk {
namespace {

bool SameChar(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

// "*" and "?" wildcards; a star that failed is retried one character later.
bool Glob(QStringView pattern, QStringView name) {
  qsizetype p = 0, n = 0, star = -1, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || SameChar(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (star >= 0) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesPattern(const QString& pattern, const QString& name) {
  if (Glob(pattern, name)) return true;
  const QStringView view(pattern);
  // Windows treats a final ".*" as "any extension or none".
  if (pattern.endsWith(QLatin1String(".*"))) return Glob(view.chopped(2), name);
  // ... and a final "." as "no extension".
  if (pattern.endsWith(u'.') && !name.contains(u'.')) return Glob(view.chopped(1), name);
  return false;
}

FileMask::FileMask(const QString& mask) {
  for (const QString& entry : mask.split(u';')) {
    const QString pattern = entry.trimmed();
    if (!pattern.isEmpty()) patterns_.append(pattern);
  }
}

bool FileMask::Matches(const QString& name) const {
  if (patterns_.isEmpty()) return true;
  for (const QString& pattern : patterns_)
    if (MatchesPattern(pattern, name)) return true;
  return false;
}

}  // namespace velk
