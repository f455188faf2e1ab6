#include "platform/program_files.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

namespace velk {
namespace {

namespace fs = std::filesystem;

std::optional<ProgramFiles>& Installed() {
  static std::optional<ProgramFiles> files;
  return files;
}

}  // namespace

ProgramFiles::ProgramFiles(std::string folder, std::string userFolder, bool readOnly)
    : folder_(std::move(folder)), userFolder_(std::move(userFolder)), readOnly_(readOnly) {}

ProgramFiles ProgramFiles::ForFolder(std::string folder, std::string userFolder) {
  // access() also answers EROFS for a read-only mount, where root could otherwise write.
  std::error_code error;
  const bool readOnly = fs::exists(folder + kInstalledMarker, error) ||
                        ::access(folder.c_str(), W_OK) != 0;
  return ProgramFiles(std::move(folder), std::move(userFolder), readOnly);
}

std::string ProgramFiles::UserCopy(const std::string& path) const {
  if (!readOnly_ || folder_.empty() || userFolder_.empty()) return {};
  // Paths are joined by plain concatenation ("plugins/" + "colourpicker/" + ...), so doubled
  // separators and "." are normal; ".." leading out of the folder is not inside it.
  const fs::path relative =
      fs::path(path).lexically_normal().lexically_relative(fs::path(folder_).lexically_normal());
  if (relative.empty() || *relative.begin() == ".." || *relative.begin() == ".") return {};
  return (fs::path(userFolder_) / relative).string();
}

std::string ProgramFiles::ReadPath(const std::string& path) const {
  const std::string copy = UserCopy(path);
  std::error_code error;
  return !copy.empty() && fs::exists(copy, error) ? copy : path;
}

std::string ProgramFiles::WritePath(const std::string& path) const {
  const std::string copy = UserCopy(path);
  if (copy.empty()) return path;
  std::error_code error;  // a folder that cannot be made fails the write that follows
  fs::create_directories(fs::path(copy).parent_path(), error);
  return copy;
}

std::string UserConfigFolder() {
  std::string base;
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* user = ::getpwuid(::getuid());
      home = user && user->pw_dir ? user->pw_dir : "";
    }
    base = std::string(home) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/velkview/";
}

void UseProgramFiles(const ProgramFiles& files) { Installed() = files; }
void ForgetProgramFiles() { Installed().reset(); }

std::string ProgramFileToRead(const std::string& path) {
  return Installed() ? Installed()->ReadPath(path) : path;
}

std::string ProgramFileToWrite(const std::string& path) {
  return Installed() ? Installed()->WritePath(path) : path;
}

}  // namespace velk
