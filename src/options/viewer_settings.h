#pragma once
// What the main window and the options dialog both read and change; saved between runs as
// fourteen registry values under kSettingsKey, and more of our own: photo orientation and
// colour profiles (whose absence means on) and the copy and move commands' last folders.
#include <string>
#include <vector>

namespace velk {

inline constexpr const char* kSettingsKey = "\\Software\\Velk's Software\\Velk's JPEG viewer";
inline constexpr const char* kOrientationValue = "Orientation";
inline constexpr const char* kColourProfilesValue = "ColourProfiles";
// "RecentFolder1" (the newest) to "RecentFolder5".
inline constexpr const char* kRecentFolderValue = "RecentFolder";
inline constexpr int kRecentFolderCount = 5;

struct ViewerSettings {
  std::string Directory;
  bool Grey = false;
  int Dither = 0;    // 0 "Ordered Dither", 1 "No Dither"
  int Colours = 0;   // 0 "16 Colours", 1 "256 Colours", 2 "True Colour"
  int Zoom = 0;      // zoom box index, -1 none
  bool Loupe = false;
  int Filter = 0;    // filter box index
  bool FileIndex = false;  // "Remember Filename"
  int Filename = 0;        // file list index
  bool Showstart = false;  // "Show/Play Immediately on Startup"
  std::string skindir;
  int lint = 0;            // loupe speed item 1..6
  std::string pluginsFolder;  // not stored in the registry
  bool Orientation = true;     // turn photos as their files say
  bool ColourProfiles = true;  // convert embedded colour profiles to sRGB
  std::vector<std::string> RecentFolders;  // copied or moved to, newest first

  // The values of a first run.
  void SetFirstRunDefaults(const std::string& programFolder) {
    FileIndex = true;
    Showstart = true;
    Zoom = 9;
    Dither = 0;
    Colours = 2;
    Grey = false;
    skindir = programFolder;
    lint = 6;
    pluginsFolder = programFolder + "plugins/";
    Orientation = true;
    ColourProfiles = true;
  }
};

}  // namespace velk
