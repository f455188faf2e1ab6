#pragma once
// The user's folders as the freedesktop base-directory and user-dirs conventions define them:
// where launchers for the applications menu and the desktop go.
#include <string>

namespace velk {

// $XDG_DATA_HOME/applications (default ~/.local/share/applications), without a trailing "/";
// empty when no home folder is known.
std::string ProgramsFolder();
// XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config), else ~/Desktop;
// without a trailing "/"; empty when no home folder is known.
std::string DesktopFolder();

// The user's home folder: $HOME, else the password database; empty when neither knows it.
std::string HomeFolder();

// XDG_DESKTOP_DIR's value in the text of a user-dirs.dirs file, with $HOME expanded;
// empty when the key is missing or its value has a form the convention does not allow.
std::string DesktopDirFromUserDirs(const std::string& text, const std::string& home);

}  // namespace velk
