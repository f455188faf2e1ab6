#pragma once
// A folder's entries read straight from its directory stream. The stream tells each entry's
// type, so a folder of 100,000 files costs no stat per file: only links (and file systems that
// give no type) are looked up, for what they point to.
#include <functional>
#include <string>
#include <vector>

namespace velk {

// Files: regular files. Folders: folders but "." and "..". A link counts as what it points to;
// hidden entries are included.
enum class EntryKind { Files, Folders };

// The names of `folder`'s entries of `kind`, in the directory's own order; none when the folder
// cannot be read. `stop`, when given, is asked now and then and ends the reading early.
std::vector<std::string> ReadFolder(const std::string& folder, EntryKind kind,
                                    const std::function<bool()>& stop = {});

// Whether `name` in `folder` is now an entry of `kind`.
bool IsEntry(const std::string& folder, const std::string& name, EntryKind kind);

}  // namespace velk
