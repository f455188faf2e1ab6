#include "chrome/xdg_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/atomic_file.h"

namespace velk {
namespace {

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The home folder as a prefix for "/..." (the root home gives "").
std::string HomePrefix(const std::string& home) {
  const std::string trimmed = WithoutTrailingSlash(home);
  return trimmed == "/" ? std::string() : trimmed;
}

// An XDG base-directory variable counts only when it holds an absolute path.
std::string BaseDir(const char* variable, const std::string& fallbackBelowHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return WithoutTrailingSlash(value);
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : HomePrefix(home) + "/" + fallbackBelowHome;
}

// A user directory of user-dirs.dirs (XDG_<name>_DIR), else fallbackBelowHome in the home folder.
std::string UserDir(const std::string& name, const std::string& fallbackBelowHome) {
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  const std::string config = BaseDir("XDG_CONFIG_HOME", ".config");
  if (auto bytes = ReadWholeFile(config + "/user-dirs.dirs", 1 << 20)) {
    const std::string folder =
        UserDirFromUserDirs(std::string(bytes->begin(), bytes->end()), name, home);
    if (!folder.empty()) return folder;
  }
  return HomePrefix(home) + "/" + fallbackBelowHome;
}

}  // namespace

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return {};
}

std::string UserDirFromUserDirs(const std::string& text, const std::string& name,
                                const std::string& home) {
  std::istringstream lines(text);
  std::string line, found;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    const std::string key = "XDG_" + name + "_DIR=";
    if (line.compare(start, key.size(), key) != 0) continue;
    // The value is double-quoted and starts with "$HOME" or "/"; backslash escapes a character.
    size_t pos = start + key.size();
    if (pos >= line.size() || line[pos] != '"') continue;
    ++pos;
    std::string value;
    bool closed = false;
    for (; pos < line.size(); ++pos) {
      if (line[pos] == '\\' && pos + 1 < line.size()) value += line[++pos];
      else if (line[pos] == '"') { closed = true; break; }
      else value += line[pos];
    }
    if (!closed) continue;
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
      value = HomePrefix(home) + value.substr(5);
    if (value.empty()) value = "/";
    else if (value.empty() || value[0] != '/') continue;
    found = value;  // the last valid line wins, as in a shell
  }
  return found.empty() ? found : WithoutTrailingSlash(found);
}

std::string ProgramsFolder() {
  const std::string data = BaseDir("XDG_DATA_HOME", ".local/share");
  return data.empty() ? data : data + "/applications";
}

std::string DesktopFolder() { return UserDir("DESKTOP", "Desktop"); }

std::string PicturesFolder() {
  const std::string pictures = UserDir("PICTURES", "Pictures");
  std::error_code error;
  if (!pictures.empty() && std::filesystem::is_directory(pictures, error)) return pictures;
  const std::string home = HomeFolder();
  return home.empty() ? "/" : home;
}

std::vector<std::string> SystemApplicationFolders() {
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::istringstream list(dirs && *dirs ? dirs : "/usr/local/share/:/usr/share/");
  std::vector<std::string> folders;
  for (std::string folder; std::getline(list, folder, ':');)
    if (!folder.empty() && folder[0] == '/')
      folders.push_back(WithoutTrailingSlash(folder) + "/applications");
  return folders;
}

}  // namespace velk
