#pragma once
// The profile files the program keeps in its own folder ("skins.ini", "plugins.ini", the
// plugins' "plugin.pcf"). An installed program folder belongs to the package manager, also
// when root could write it: when the folder holds the install marker, or cannot be written,
// each such file gets a per-user copy under $XDG_CONFIG_HOME/velkview/ (the same path relative
// to it), made from the program folder's copy on the first write and read in preference to it
// afterwards. A build's writable program folder keeps its files where they are.
#include <string>

namespace velk {

// The file `cmake --install` (and so the package) puts in the program folder.
inline constexpr const char* kInstalledMarker = "installed";

class ProgramFiles {
public:
  // folder and userFolder end in "/". readOnly: the program folder is not to be written.
  ProgramFiles(std::string folder, std::string userFolder, bool readOnly);
  // Read-only when the folder is installed or the running user cannot write it now.
  static ProgramFiles ForFolder(std::string folder, std::string userFolder);

  // The file to read for path: the per-user copy when there is one and the folder is
  // read-only, else path itself.
  std::string ReadPath(const std::string& path) const;
  // The file a write of path goes to (its folder made when missing): the per-user copy for a
  // file inside a read-only program folder, else path itself.
  std::string WritePath(const std::string& path) const;

private:
  // The per-user copy of path, or empty when path is not redirected.
  std::string UserCopy(const std::string& path) const;

  std::string folder_, userFolder_;
  bool readOnly_;
};

// $XDG_CONFIG_HOME/velkview/ (XDG_CONFIG_HOME defaults to ~/.config), with a trailing "/".
std::string UserConfigFolder();

// The rule every profile file follows: set once at start-up, before any window reads a file.
// Without it (tests on temporary folders) paths are used as given.
void UseProgramFiles(const ProgramFiles& files);
void ForgetProgramFiles();
std::string ProgramFileToRead(const std::string& path);
std::string ProgramFileToWrite(const std::string& path);

}  // namespace velk
