#include "platform/system_colors.h"

#include <QApplication>
#include <QPalette>

#include "platform/color.h"

namespace velk {

namespace {
TColor FromQColor(const QColor& c) { return RGB(uchar(c.red()), uchar(c.green()), uchar(c.blue())); }

// Which palette role stands for each system colour; -1 keeps the classic value.
int RoleFor(int index) {
  switch (index) {
    case COLOR_WINDOW: return QPalette::Base;
    case COLOR_WINDOWTEXT: case COLOR_MENUTEXT: return QPalette::WindowText;
    case COLOR_BTNFACE: case COLOR_MENU: case COLOR_ACTIVEBORDER: case COLOR_INACTIVEBORDER:
    case COLOR_3DLIGHT: return QPalette::Button;
    case COLOR_BTNTEXT: return QPalette::ButtonText;
    case COLOR_BTNSHADOW: return QPalette::Mid;
    case COLOR_3DDKSHADOW: return QPalette::Shadow;
    case COLOR_BTNHIGHLIGHT: return QPalette::Light;
    case COLOR_HIGHLIGHT: case COLOR_ACTIVECAPTION: return QPalette::Highlight;
    case COLOR_HIGHLIGHTTEXT: case COLOR_CAPTIONTEXT: return QPalette::HighlightedText;
    case COLOR_INFOBK: return QPalette::ToolTipBase;
    case COLOR_INFOTEXT: return QPalette::ToolTipText;
    case COLOR_APPWORKSPACE: return QPalette::Dark;
    default: return -1;
  }
}
}  // namespace

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

void InstallPaletteSystemColors() {
  InstallSystemColorResolver([](int index) -> TColor {
    if (index == COLOR_GRAYTEXT)
      return FromQColor(QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
    const int role = RoleFor(index);
    if (role < 0) return ClassicSystemColor(index);
    return FromQColor(QApplication::palette().color(QPalette::Active, QPalette::ColorRole(role)));
  });
}

}  // namespace velk
