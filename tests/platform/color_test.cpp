#include "platform/color.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "platform/system_colors.h"

namespace velk {
namespace {

TEST(Color, SystemColoursResolveThroughTheDesktopPalette) {
  EXPECT_EQ(ColorToRGB(0x00FFFBF0), 0x00FFFBF0u);
  EXPECT_EQ(ColorToRGB(0x12345678), 0x00345678u);  // the top byte is not part of a COLORREF
  EXPECT_EQ(ColorToRGB(clBtnFace), ClassicSystemColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(0x80000000u | 99), clBlack);

  const QPalette saved = QApplication::palette();
  QPalette palette = saved;
  palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 20, 30));
  QApplication::setPalette(palette);
  InstallPaletteSystemColors();
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
  EXPECT_EQ(ColorToRGB(clHighlight), RGB(10, 20, 30));
  EXPECT_EQ(GetBValue(ColorToRGB(clHighlight)), 30);
  QApplication::setPalette(saved);
  InstallSystemColorResolver(nullptr);
  EXPECT_EQ(ColorToRGB(clBtnFace), ClassicSystemColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace velk
