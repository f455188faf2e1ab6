#pragma once

#include <QColor>

#include "platform/color.h"

namespace velk {

// A colour value as a QColor, system colours resolved first.
QColor ToQColor(TColor color);

// Resolves system colours through the desktop palette from now on (needs a QApplication).
void InstallPaletteSystemColors();

}  // namespace velk
