#include "platform/program_folder.h"

#include <QCoreApplication>
#include <filesystem>
#include <system_error>

namespace velk {

// The executable itself, not the name it was started by: an installed copy is reached through
// the symlink <prefix>/bin/velkview and keeps its files beside the real file in
// <prefix>/lib/velkview/.
std::string ProgramPath() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && self.is_absolute()) return self.string();
  return QCoreApplication::applicationFilePath().toStdString();
}

std::string ProgramFolder() {
  return std::filesystem::path(ProgramPath()).parent_path().string() + "/";
}

}  // namespace velk
