#pragma once
// A fresh folder for targets that parse files: in memory (/dev/shm) where there is one, since
// every atomic write syncs the file and a disk sync costs more than the parse it feeds.
#include <unistd.h>

#include <cstdlib>
#include <string>

inline std::string FuzzTempDir(const char* name) {
  for (const char* base : {"/dev/shm", "/tmp"}) {
    std::string dir = std::string(base) + "/velk-" + name + "-XXXXXX";
    if (::mkdtemp(dir.data())) return dir + "/";
  }
  std::abort();
}
