#include "colour_format.h"

namespace colourpicker {

QString FormatColour(const QColor& colour, ColourFormat format) {
  switch (format) {
    case ColourFormat::Hex:
      return colour.name(QColor::HexRgb).toUpper();
    case ColourFormat::Rgb:
      return QString("rgb(%1, %2, %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
    case ColourFormat::ColorRef:  // 0x00BBGGRR
      return QString::number(colour.red() | colour.green() << 8 | colour.blue() << 16);
  }
  return {};
}

QString FormatName(ColourFormat format) {
  switch (format) {
    case ColourFormat::Hex: return "Hex (#RRGGBB)";
    case ColourFormat::Rgb: return "CSS (rgb(r, g, b))";
    case ColourFormat::ColorRef: return "Velk skins.ini (decimal COLORREF)";
  }
  return {};
}

}  // namespace colourpicker
