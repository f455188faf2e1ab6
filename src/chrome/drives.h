#pragma once
// Drives on Linux: the roots of the mounted real file systems, "/" first, then the others
// sorted by path, each ending in "/".
#include <functional>
#include <string>
#include <vector>

namespace velk {

// Gives the drive roots; injectable so that tests can use a fixed list.
using DriveList = std::function<std::vector<std::string>()>;

// The drive roots of this machine, read from /proc/self/mounts.
std::vector<std::string> MountedDriveRoots();

// The drive roots in the text of a mounts table (fstab format, octal escapes in paths).
// A real file system is one whose source is a device ("/dev/...") or a network share, that is
// not a read-only package image (squashfs), mounted on a folder (isFolder; bind mounts of
// single files are skipped). "/" is always a drive.
std::vector<std::string> DriveRootsFromMounts(
    const std::string& mountsText, const std::function<bool(const std::string&)>& isFolder);

// The drive of a path: the longest root that begins it ("" when none does).
std::string DriveOfPath(const std::vector<std::string>& roots, const std::string& path);

}  // namespace velk
