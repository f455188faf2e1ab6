#pragma once
// A fresh folder for targets that parse files, removed at exit: in memory (/dev/shm) where
// there is one, since every atomic write syncs the file and a disk sync costs more than the
// parse it feeds.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string>& FuzzTempDirsMade() {
  static std::vector<std::string> dirs;
  return dirs;
}

inline std::string FuzzTempDir(const char* name) {
  // The list is made first, so it is destroyed only after the clean-up has run.
  static const bool cleanUp = (FuzzTempDirsMade(), std::atexit([] {
    std::error_code ignored;
    for (const std::string& dir : FuzzTempDirsMade()) std::filesystem::remove_all(dir, ignored);
  }) == 0);
  (void)cleanUp;
  for (const char* base : {"/dev/shm", "/tmp"}) {
    std::string dir = std::string(base) + "/velk-" + name + "-XXXXXX";
    if (!::mkdtemp(dir.data())) continue;
    FuzzTempDirsMade().push_back(dir);
    return dir + "/";
  }
  std::abort();
}
