#pragma once
// The built program and a private copy of its folder for tests that run it whole.
#include <filesystem>
#include <string>

#include "platform/atomic_file.h"

namespace velk::test {

inline std::string ProgramPath() { return VELKVIEW_PROGRAM; }

// A file's whole text; empty when it cannot be read.
inline std::string FileText(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// Copies the program folder (the program with its skins, languages and plugins) into folder,
// so runs write their "skins.ini" and "plugins.ini" there; returns the copied program's path.
inline std::string CopyProgramFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  const fs::path program = ProgramPath();
  fs::create_directories(folder);
  for (const auto& entry : fs::directory_iterator(program.parent_path())) {
    const std::string name = entry.path().filename();
    if (name == "skins.ini" || name == "plugins.ini") continue;  // start as a first run
    fs::copy(entry.path(), fs::path(folder) / name,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  return (fs::path(folder) / program.filename()).string();
}

}  // namespace velk::test
