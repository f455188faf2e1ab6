#include "chrome/g_progress.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "platform/dialogs.h"

namespace velk {
namespace {

QColor Q(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The main window's bar: 183 x 13, solid, black to blue, black frame and background.
void MakeMainWindowBar(TGProgress& bar) {
  bar.resize(183, 13);
  bar.SetSolid(true);
  bar.SetColor(clBlack);
  bar.SetColorEnd(clBlue);
  bar.SetBackgroundColor(clBlack);
  bar.SetFrameColor1(clBlack);
  bar.SetFrameColor2(clBlack);
}

// A bar with distinguishable colours everywhere.
void MakeColouredBar(TGProgress& bar, int width = 100, int height = 12) {
  bar.resize(width, height);
  bar.SetColor(RGB(0, 0, 0));
  bar.SetColorEnd(RGB(0, 0, 255));
  bar.SetBackgroundColor(RGB(0, 255, 0));
  bar.SetFrameColor1(RGB(255, 0, 0));
  bar.SetFrameColor2(RGB(255, 255, 0));
}

TEST(GProgress, LastBlockFollowsPositionAndWidth) {
  TGProgress bar;
  MakeMainWindowBar(bar);
  const std::pair<int, int> expected[] = {{0, 0}, {5, 0}, {6, 1}, {10, 1}, {50, 9}, {99, 18}, {100, 18}};
  for (auto [position, last] : expected) {
    bar.SetPosition(position);
    EXPECT_EQ(bar.LastBlock(), last) << "position " << position;
  }
  bar.SetMax(0);  // Max equal to Min: no division, no blocks
  EXPECT_EQ(bar.LastBlock(), -1);
}

TEST(GProgress, PositionIsClampedAndFollowsLimits) {
  ScopedScriptedDialogs dialogs;
  TGProgress bar;
  bar.SetPosition(150);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetMin(20);
  bar.SetPosition(5);
  EXPECT_EQ(bar.Position(), 20);
  bar.SetPosition(80);
  bar.SetMax(60);
  EXPECT_EQ(bar.Position(), 60);
  bar.SetMin(70);  // above Max: the position follows Min
  EXPECT_EQ(bar.Position(), 70);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST(GProgress, NegativeLimitsShowTheMessageAndKeepTheOldValue) {
  ScopedScriptedDialogs dialogs;
  TGProgress bar;
  bar.SetMax(-1);
  bar.SetMin(-5);
  bar.SetStep(-2);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Step(), 10);
  ASSERT_EQ(dialogs->messages.size(), 3u);
  for (const auto& shown : dialogs->messages) {
    EXPECT_EQ(shown.text, "Value must be between 0 and 2147483647");
    EXPECT_EQ(shown.kind, MessageKind::Error);
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
  }
}

TEST(GProgress, GradientUsesRoundedMulDivAndEndsInColorEnd) {
  TGProgress bar;
  MakeMainWindowBar(bar);  // n = 18: blue rises by 15 per block
  for (int i = 0; i < 18; ++i) EXPECT_EQ(bar.BlockColor(i), RGB(0, 0, 15 * i)) << i;
  EXPECT_EQ(bar.BlockColor(18), clBlue);

  bar.resize(100, 13);  // n = 10: 255 / 9 per block, rounded
  EXPECT_EQ(GetBValue(bar.BlockColor(1)), 28);  // 28.33
  EXPECT_EQ(GetBValue(bar.BlockColor(5)), 142);  // 141.67
  bar.SetColor(RGB(200, 100, 0));
  bar.SetColorEnd(RGB(0, 100, 255));
  EXPECT_EQ(bar.BlockColor(4), RGB(111, 100, 113));  // 200 - 88.9, 0 + 113.3
  // System colours are resolved before the arithmetic.
  bar.SetColor(clHighlight);
  EXPECT_EQ(bar.BlockColor(0), ColorToRGB(clHighlight));

  EXPECT_EQ(MulDiv(1, 3, 2), 2);
  EXPECT_EQ(MulDiv(-1, 3, 2), -2);
  EXPECT_EQ(MulDiv(5, 7, 0), -1);
}

TEST(GProgress, GappedGradientBarPixels) {
  QWidget parent;
  TGProgress* bar = new TGProgress(&parent);
  MakeColouredBar(*bar);
  bar->SetPosition(30);  // (30 * 100 - 4) / 100 / 10 = 2: blocks 0..2
  const QImage shot = bar->grab().toImage();
  // Frame: left and top in FrameColor1, right and bottom in FrameColor2.
  EXPECT_EQ(shot.pixelColor(0, 11), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(50, 0), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(99, 5), QColor(255, 255, 0));
  EXPECT_EQ(shot.pixelColor(50, 11), QColor(255, 255, 0));
  // Block 0 spans 2..9, block 1 12..19, block 2 22..29; gaps show the background.
  EXPECT_EQ(shot.pixelColor(2, 2), Q(bar->BlockColor(0)));
  EXPECT_EQ(shot.pixelColor(10, 5), QColor(0, 255, 0));
  EXPECT_EQ(shot.pixelColor(29, 5), Q(bar->BlockColor(2)));
  EXPECT_EQ(shot.pixelColor(30, 5), QColor(0, 255, 0));
  EXPECT_EQ(shot.pixelColor(5, 1), QColor(0, 255, 0));  // blocks leave a row above and below
  EXPECT_EQ(shot.pixelColor(5, 10), QColor(0, 255, 0));
}

TEST(GProgress, SolidFullBarEndsInColorEndUnderTheRedrawnFrame) {
  QWidget parent;
  TGProgress* bar = new TGProgress(&parent);
  MakeColouredBar(*bar, 183, 13);
  bar->SetSolid(true);
  bar->SetPosition(100);
  const QImage shot = bar->grab().toImage();
  EXPECT_EQ(shot.pixelColor(10, 6), Q(bar->BlockColor(1)));  // blocks touch
  EXPECT_EQ(shot.pixelColor(9, 6), Q(bar->BlockColor(0)));
  EXPECT_EQ(shot.pixelColor(181, 6), QColor(0, 0, 255));  // block 18 in ColorEnd
  EXPECT_EQ(shot.pixelColor(182, 6), QColor(255, 255, 0));  // right edge drawn again over it
}

TEST(GProgress, PlainBarsAndEmptyBars) {
  QWidget parent;
  TGProgress* bar = new TGProgress(&parent);
  MakeColouredBar(*bar);
  bar->SetGradientBar(false);
  bar->SetColor(RGB(10, 20, 30));
  bar->SetPosition(100);
  QImage shot = bar->grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 5), QColor(10, 20, 30));
  EXPECT_EQ(shot.pixelColor(95, 5), QColor(10, 20, 30));  // the last block too

  bar->SetPosition(0);  // at Min nothing is drawn although L is 0
  shot = bar->grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 5), QColor(0, 255, 0));
}

TEST(GProgress, TransparentBarShowsItsParentInsideTheFrame) {
  QWidget parent;
  parent.resize(120, 30);
  QPalette palette;
  palette.setColor(QPalette::Window, QColor(1, 2, 3));
  parent.setPalette(palette);
  parent.setAutoFillBackground(true);
  TGProgress* bar = new TGProgress(&parent);
  MakeColouredBar(*bar);
  bar->SetTransparent(true);
  bar->SetPosition(20);
  const QImage shot = parent.grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 5), Q(bar->BlockColor(0)));
  EXPECT_EQ(shot.pixelColor(10, 5), QColor(1, 2, 3));  // gap
  EXPECT_EQ(shot.pixelColor(60, 5), QColor(1, 2, 3));  // past the last block
  EXPECT_EQ(shot.pixelColor(0, 5), QColor(255, 0, 0));  // the frame is still drawn
}

TEST(GProgress, GrowingPositionAddsBlocksWithoutClearing) {
  QWidget parent;
  parent.resize(120, 30);
  TGProgress* bar = new TGProgress(&parent);
  MakeColouredBar(*bar);
  parent.show();
  bar->SetPosition(50);
  QApplication::processEvents();
  // An invalidated background is repainted only later; blocks added meanwhile go straight
  // onto what is shown.
  bar->SetBackgroundColor(RGB(255, 0, 255));
  bar->SetPosition(70);
  const QImage& now = bar->Surface();
  EXPECT_EQ(now.pixelColor(65, 5), Q(bar->BlockColor(6)));
  EXPECT_EQ(now.pixelColor(80, 5), QColor(0, 255, 0));  // old background kept
  QApplication::processEvents();
  EXPECT_EQ(bar->Surface().pixelColor(80, 5), QColor(255, 0, 255));  // the owed full paint

  // Until the next full paint, changing Max repaints at once by adding blocks: the fewer
  // blocks of the larger range are drawn over the old ones without clearing them.
  bar->SetPosition(70);
  bar->SetMax(200);
  EXPECT_EQ(bar->Surface().pixelColor(65, 5), Q(bar->BlockColor(6)));
  // Going back always repaints everything, so blocks beyond the new position disappear.
  bar->SetPosition(40);
  QApplication::processEvents();
  EXPECT_EQ(bar->Surface().pixelColor(25, 5), QColor(255, 0, 255));
  EXPECT_EQ(bar->Surface().pixelColor(15, 5), Q(bar->BlockColor(1)));
}

TEST(GProgress, HiddenBarDrawsNothingUntilShown) {
  QWidget parent;
  TGProgress* bar = new TGProgress(&parent);
  MakeColouredBar(*bar);
  bar->SetPosition(50);
  EXPECT_TRUE(bar->Surface().isNull());
  parent.show();
  QApplication::processEvents();
  EXPECT_EQ(bar->Surface().pixelColor(45, 5), Q(bar->BlockColor(4)));
}

TEST(GProgress, NarrowBarsDrawWithoutAGradientDivisor) {
  QWidget parent;
  for (int width : {19, 15, 10, 9, 4, 1}) {
    TGProgress* bar = new TGProgress(&parent);
    MakeColouredBar(*bar, width, 12);
    bar->SetPosition(100);
    const QImage shot = bar->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(width, 12));
    if (width >= 10) {
      EXPECT_EQ(bar->BlockColor(0), RGB(0, 0, 0)) << width;  // Color
      EXPECT_EQ(bar->BlockColor(1), RGB(0, 0, 255)) << width;  // ColorEnd
    } else {
      EXPECT_EQ(bar->BlockColor(0), RGB(0, 0, 255)) << width;  // block n = 0
    }
  }
}

}  // namespace
}  // namespace velk
