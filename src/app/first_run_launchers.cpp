#include "app/first_run_launchers.h"

#include <filesystem>
#include <system_error>

#include "chrome/xdg_folders.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(a, b, error);
}

}  // namespace

std::vector<FirstRunLauncher> FirstRunLaunchers(
    const std::string& programsFolder, const std::string& desktopFolder,
    const std::vector<std::string>& applicationFolders) {
  std::vector<FirstRunLauncher> launchers;
  std::error_code error;
  bool installed = false;
  for (const std::string& folder : applicationFolders)
    installed = installed || fs::exists(folder + "/" + kDesktopId, error);
  if (!installed && !programsFolder.empty())
    launchers.push_back({programsFolder + "/" + kDesktopId, "Velk's Jpeg Viewer"});
  // A desktop folder set to the home folder means the user has no desktop folder.
  if (!desktopFolder.empty() && fs::is_directory(desktopFolder, error) &&
      !SameFolder(desktopFolder, HomeFolder()))
    launchers.push_back({desktopFolder + "/Velk's Jpeg Viewer.desktop", ""});
  return launchers;
}

std::vector<std::string> InstalledEntryFolders(const std::string& programFolder) {
  std::vector<std::string> folders = SystemApplicationFolders();
  folders.push_back(programFolder + "../../share/applications");
  return folders;
}

}  // namespace velk
