#include "chrome/drives.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "platform/atomic_file.h"

namespace velk {
namespace {

// Mount tables write blanks, tabs, newlines and backslashes in paths as \ooo.
std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() &&
        std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                    [](char c) { return c >= '0' && c <= '7'; })) {
      out += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool IsNetworkType(const std::string& type) {
  static const std::set<std::string> kNetwork = {"nfs", "nfs4", "cifs", "smb3", "smbfs",
                                                 "fuse.sshfs", "9p", "afs", "ceph", "glusterfs"};
  return kNetwork.count(type) != 0;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> DriveRootsFromMounts(
    const std::string& mountsText, const std::function<bool(const std::string&)>& isFolder) {
  std::set<std::string> others;  // sorted, without duplicates
  std::istringstream lines(mountsText);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string source, target, type;
    if (!(fields >> source >> target >> type)) continue;
    source = Unescape(source);
    target = Unescape(target);
    const bool real = (source.rfind("/dev/", 0) == 0 && type != "squashfs") || IsNetworkType(type);
    if (!real || target.empty() || target[0] != '/' || target == "/") continue;
    if (!isFolder(target)) continue;
    others.insert(target.back() == '/' ? target : target + "/");
  }
  std::vector<std::string> roots{"/"};
  roots.insert(roots.end(), others.begin(), others.end());
  return roots;
}

std::vector<std::string> MountedDriveRoots() {
  const auto bytes = ReadWholeFile("/proc/self/mounts", 16 << 20);
  const std::string text = bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  return DriveRootsFromMounts(text, IsFolder);
}

std::string DriveOfPath(const std::vector<std::string>& roots, const std::string& path) {
  std::string best;
  for (const std::string& root : roots)
    if (path.rfind(root, 0) == 0 && root.size() > best.size()) best = root;
  return best;
}

}  // namespace velk
