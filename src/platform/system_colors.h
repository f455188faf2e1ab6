#pragma once

namespace velk {

// Resolves system colours through the desktop palette from now on (needs a QApplication).
void InstallPaletteSystemColors();

}  // namespace velk
