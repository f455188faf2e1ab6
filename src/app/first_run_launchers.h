#pragma once
// Where the first run puts the program's launchers. The applications menu gets one only when
// no desktop entry of the program is installed (the package's velkview.desktop); it then
// takes the same desktop id, so that a later install shadows it rather than listing the
// program twice. The desktop gets one only in a desktop folder that exists: none is made.
#include <string>
#include <vector>

namespace velk {

// The desktop id of the program's entry, installed and per user.
inline constexpr const char* kDesktopId = "velkview.desktop";
// As the package's entry has them: a comment other than the name, the types it opens.
inline constexpr const char* kLauncherComment =
    "Browse folders and view JPEG, BMP, GIF and TIFF pictures";
inline constexpr const char* kLauncherMimeTypes = "image/jpeg;image/bmp;image/gif;image/tiff;";

struct FirstRunLauncher {
  std::string file;
  std::string name;  // the launcher's name; empty: the file's name without ".desktop"
};

// applicationFolders: where an installed entry of the program would be.
std::vector<FirstRunLauncher> FirstRunLaunchers(
    const std::string& programsFolder, const std::string& desktopFolder,
    const std::vector<std::string>& applicationFolders);

// The folders an installed entry is looked for in: the system's ($XDG_DATA_DIRS) and the one
// beside an installed program folder (<prefix>/lib/velkview/ -> <prefix>/share/applications).
std::vector<std::string> InstalledEntryFolders(const std::string& programFolder);

}  // namespace velk
