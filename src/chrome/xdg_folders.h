#pragma once
// The user's folders as the freedesktop base-directory and user-dirs conventions define them:
// where launchers for the applications menu and the desktop go.
#include <string>
#include <vector>

namespace velk {

// $XDG_DATA_HOME/applications (default ~/.local/share/applications), without a trailing "/";
// empty when no home folder is known.
std::string ProgramsFolder();
// XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config), else ~/Desktop;
// without a trailing "/"; empty when no home folder is known. It may not exist.
std::string DesktopFolder();
// XDG_PICTURES_DIR likewise (else ~/Pictures) when that folder exists, else the home folder,
// else "/".
std::string PicturesFolder();
// The applications folders of $XDG_DATA_DIRS (default /usr/local/share:/usr/share), where
// installed programs' desktop entries are.
std::vector<std::string> SystemApplicationFolders();

// The user's home folder: $HOME, else the password database; empty when neither knows it.
std::string HomeFolder();

// XDG_<name>_DIR's value (name "DESKTOP", "PICTURES", ...) in the text of a user-dirs.dirs
// file, with $HOME expanded; empty when the key is missing or its value has a form the
// convention does not allow.
std::string UserDirFromUserDirs(const std::string& text, const std::string& name,
                                const std::string& home);

}  // namespace velk
