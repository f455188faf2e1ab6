#include "chrome/drives.h"

#include <gtest/gtest.h>

namespace velk {
namespace {

TEST(Drives, RealFileSystemsFromAMountsTable) {
  const std::string mounts =
      "overlay / overlay rw,relatime 0 0\n"
      "proc /proc proc rw 0 0\n"
      "tmpfs /dev tmpfs rw 0 0\n"
      "sysfs /sys sysfs ro 0 0\n"
      "cgroup2 /sys/fs/cgroup cgroup2 ro 0 0\n"
      "/dev/sdb1 /mnt/usb\\040stick vfat rw 0 0\n"
      "/dev/sda2 /home ext4 rw 0 0\n"
      "/dev/sda1 /etc/hosts ext4 rw 0 0\n"
      "/dev/loop3 /snap/core/123 squashfs ro 0 0\n"
      "server:/export /net/share nfs4 rw 0 0\n"
      "/dev/sda2 /home ext4 rw 0 0\n"
      "/dev/sda3 / ext4 rw 0 0\n"
      "garbage\n";
  // /etc/hosts is a file bind-mounted from a disk, not a folder.
  const auto isFolder = [](const std::string& path) { return path != "/etc/hosts"; };
  EXPECT_EQ(DriveRootsFromMounts(mounts, isFolder),
            (std::vector<std::string>{"/", "/home/", "/mnt/usb stick/", "/net/share/"}));
  EXPECT_EQ(DriveRootsFromMounts("", isFolder), std::vector<std::string>{"/"});
}

TEST(Drives, ThisMachineHasTheRootFirst) {
  const auto roots = MountedDriveRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots.front(), "/");
  for (const auto& root : roots) EXPECT_EQ(root.back(), '/');
}

TEST(Drives, APathBelongsToTheLongestRootThatBeginsIt) {
  const std::vector<std::string> roots{"/", "/home/", "/home/u/data/"};
  EXPECT_EQ(DriveOfPath(roots, "/usr/lib/"), "/");
  EXPECT_EQ(DriveOfPath(roots, "/home/u/"), "/home/");
  EXPECT_EQ(DriveOfPath(roots, "/home/u/data/x/"), "/home/u/data/");
  EXPECT_EQ(DriveOfPath(roots, "/homework/"), "/");
  EXPECT_EQ(DriveOfPath(roots, "relative/"), "");
}

}  // namespace
}  // namespace velk
