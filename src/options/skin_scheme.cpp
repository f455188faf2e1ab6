#include "options/skin_scheme.h"

#include <utility>

#include "platform/profile_file.h"

namespace velk {

const std::array<const char*, kSchemeColourCount> kSchemeColourKeys = {
    "Color1", "Color2", "Color3", "Color4", "Color5", "Color7", "Color8", "Color10"};

const std::array<int, kSchemeColourCount> kRestoredColours = {
    16777215, 0, 0, 16777215, 0, 0, 12632256, 0};

namespace {

const std::pair<const char*, const char*> kRestoredBitmaps[] = {
    {"Main Form Skin", "skins/vlkskin1.bmp"},
    {"Open Toolbar Button Glyph", "skins/open.bmp"},
    {"Clear Toolbar Button Glyph", "skins/clear2.bmp"},
    {"Refresh Toolbar Button Glyph", "skins/retry2.bmp"},
    {"Full Screen Toolbar Button Glyph", "skins/full.bmp"},
    {"Options Toolbar Button Glyph", "skins/properties.bmp"},
    {"Volume Toolbar Button Glyph", "skins/speaker.bmp"},
    {"Loupe Toolbar Button Glyph", "skins/mglass.bmp"},
    {"About Toolbar Button Glyph", "skins/smallsmiley.bmp"},
    {"Convert Toolbar Button Glyph", "skins/convert.bmp"},
    {"Slide Show Toolbar Button Glyph", "skins/slideshow.bmp"},
    {"Skins Toolbar Button Glyph", "skins/skins.bmp"},
    {"Plugin Toolbar Button Glyph", "skins/plugin.bmp"},
};

}  // namespace

void WriteRestoredSkin(ProfileFile& skins, const std::string& scheme,
                       const std::string& programFolder) {
  skins.BeginUpdate();
  for (int i = 0; i < kSchemeColourCount; ++i)
    skins.WriteInteger(scheme, kSchemeColourKeys[i], kRestoredColours[i]);
  for (const auto& [key, file] : kRestoredBitmaps)
    skins.WriteString(scheme, key, programFolder + file);
  skins.EndUpdate();
}

}  // namespace velk
