#pragma once
// The splash window's texts in the current language.
#include <string>

namespace velk {

class TSplashForm;

// Relabels the splash from the language "plugins.ini" in programFolder names and sets the
// application's title (task bar) to the product name in that language.
void TranslateSplash(TSplashForm& splash, const std::string& programFolder);

}  // namespace velk
