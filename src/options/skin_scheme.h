#pragma once
// The colour and bitmap keys of "skins.ini" that the options dialog writes, with the values
// of "Restore Default Settings".
#include <array>
#include <string>

namespace velk {

class ProfileFile;

inline constexpr const char* kSkinsFile = "skins.ini";
inline constexpr const char* kPluginsFile = "plugins.ini";
inline constexpr const char* kSchemeName = "Current";  // the scheme in use never changes

inline constexpr int kSchemeColourCount = 8;
// Colour keys in picker order; "Color6" and "Color9" are not part of the scheme.
extern const std::array<const char*, kSchemeColourCount> kSchemeColourKeys;
// COLORREF 0x00BBGGRR values restored by "Restore Default Settings".
extern const std::array<int, kSchemeColourCount> kRestoredColours;

// Writes the restored colours and the thirteen bitmap entries (program folder + "skins/...")
// into the scheme section, in the order the restore command writes them.
void WriteRestoredSkin(ProfileFile& skins, const std::string& scheme,
                       const std::string& programFolder);

}  // namespace velk
