#include "widgets/folder_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>


namespace velk {
namespace {

bool Matches(mode_t mode, EntryKind kind) {
  return kind == EntryKind::Files ? S_ISREG(mode) : S_ISDIR(mode);
}

bool IsDots(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// The entry's kind from the stream's type, or from a stat through links when it has none.
bool IsOfKind(int folderFd, const dirent& entry, EntryKind kind) {
  switch (entry.d_type) {
    case DT_REG: return kind == EntryKind::Files;
    case DT_DIR: return kind == EntryKind::Folders && !IsDots(entry.d_name);
    case DT_LNK:
    case DT_UNKNOWN: {
      struct stat info;
      return !IsDots(entry.d_name) && fstatat(folderFd, entry.d_name, &info, 0) == 0 &&
             Matches(info.st_mode, kind);
    }
    default: return false;  // devices, pipes, sockets
  }
}

}  // namespace

std::vector<std::string> ReadFolder(const std::string& folder, EntryKind kind,
                                    const std::function<bool()>& stop) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  const int fd = dirfd(dir);
  size_t seen = 0;
  while (const dirent* entry = readdir(dir)) {
    if (stop && ++seen % 1024 == 0 && stop()) break;
    if (IsOfKind(fd, *entry, kind)) names.emplace_back(entry->d_name);
  }
  closedir(dir);
  return names;
}

bool IsEntry(const std::string& folder, const std::string& name, EntryKind kind) {
  struct stat info;
  const std::string path = folder.ends_with('/') ? folder + name : folder + '/' + name;
  return !name.empty() && name.find('/') == std::string::npos && name != "." && name != ".." &&
         stat(path.c_str(), &info) == 0 && Matches(info.st_mode, kind);
}

}  // namespace velk
