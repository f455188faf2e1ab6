#pragma once
// How the picker writes a colour: the forms a user pastes into a web page, a stylesheet, or
// the viewer's own configuration files (which keep colours as decimal COLORREF values).
#include <QColor>
#include <QString>

namespace colourpicker {

enum class ColourFormat { Hex, Rgb, ColorRef };

QString FormatColour(const QColor& colour, ColourFormat format);
QString FormatName(ColourFormat format);

}  // namespace colourpicker
