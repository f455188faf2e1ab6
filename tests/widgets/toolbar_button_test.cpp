#include "widgets/toolbar_button.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QSignalSpy>

#include "widgets/hint_tracker.h"

namespace velk {
namespace {

const QRgb kKey = qRgb(255, 0, 255);

// A strip of `count` 8x6 images: image i is filled with colours[i], its left column and the
// bottom-left pixel of the strip are the transparent colour.
QImage Strip(const std::vector<QRgb>& colours) {
  QImage strip(8 * static_cast<int>(colours.size()), 6, QImage::Format_RGB32);
  for (size_t i = 0; i < colours.size(); ++i) {
    const int left = 8 * static_cast<int>(i);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) strip.setPixel(left + x, y, x == 0 ? kKey : colours[i]);
  }
  return strip;
}

TEST(ToolbarButton, SlicesTheGlyphStripAndMakesItsBottomLeftColourTransparent) {
  TToolbarButton97 button;
  const QRgb up = qRgb(200, 0, 0), disabled = qRgb(0, 200, 0), pressed = qRgb(0, 0, 200),
             down = qRgb(200, 200, 0);
  button.SetGlyph(Strip({up, disabled, pressed, down}));
  button.SetNumGlyphs(4);
  using S = TToolbarButton97::GlyphState;
  const std::pair<S, QRgb> expected[] = {
      {S::Up, up}, {S::Disabled, disabled}, {S::Pressed, pressed}, {S::Down, down}};
  for (const auto& [state, colour] : expected) {
    const QImage image = button.GlyphPixmap(state).toImage();
    ASSERT_EQ(image.size(), QSize(8, 6));
    EXPECT_EQ(qAlpha(image.pixel(0, 3)), 0);
    EXPECT_EQ(image.pixel(4, 3), colour);
  }

  // With one image the others are made from it; the disabled one is grey.
  button.SetNumGlyphs(1);
  EXPECT_EQ(button.GlyphPixmap(S::Up).width(), 32);
  EXPECT_EQ(button.GlyphPixmap(S::Pressed).toImage(), button.GlyphPixmap(S::Up).toImage());
  const QRgb grey = button.GlyphPixmap(S::Disabled).toImage().pixel(4, 3);
  EXPECT_EQ(qRed(grey), qGreen(grey));
  EXPECT_EQ(qGreen(grey), qBlue(grey));
  button.SetNumGlyphs(9);
  EXPECT_EQ(button.NumGlyphs(), 4);
}

TEST(ToolbarButton, PaintsItsGlyphOverThePanelAndTheDisabledImageWhenDisabled) {
  QWidget panel;
  panel.setStyleSheet("background: black");
  panel.resize(40, 20);
  auto* button = new TToolbarButton97(&panel);
  button->setGeometry(0, 0, 40, 20);
  button->SetGlyph(Strip({qRgb(200, 0, 0), qRgb(0, 200, 0)}));
  button->SetNumGlyphs(2);
  panel.show();

  // The glyph is centred: (40 - 8) / 2 = 16, (20 - 6) / 2 = 7.
  QImage shot = panel.grab().toImage();
  EXPECT_EQ(shot.pixel(16, 10), qRgb(0, 0, 0));  // the transparent column shows the panel
  EXPECT_EQ(shot.pixel(20, 10), qRgb(200, 0, 0));
  EXPECT_EQ(shot.pixel(2, 2), qRgb(0, 0, 0));  // flat: no frame when the mouse is elsewhere

  button->setEnabled(false);
  shot = panel.grab().toImage();
  EXPECT_EQ(shot.pixel(20, 10), qRgb(0, 200, 0));
}

TEST(HintTracker, ReportsTheLongHintOfTheControlUnderTheMouse) {
  QWidget window;
  SetHint(&window, "Window");
  auto* panel = new QWidget(&window);  // no hint of its own: its parent's counts
  auto* button = new TToolbarButton97(panel);
  button->SetHint("Close|Close the window");
  HintTracker tracker;
  QSignalSpy hints(&tracker, &HintTracker::OnHint);

  QEvent enter(QEvent::Enter), leave(QEvent::Leave);
  QCoreApplication::sendEvent(button, &enter);
  EXPECT_EQ(tracker.Hint(), "Close the window");
  EXPECT_EQ(button->toolTip(), "Close");
  QCoreApplication::sendEvent(button, &leave);  // back over the panel
  EXPECT_EQ(tracker.Hint(), "Window");
  QCoreApplication::sendEvent(panel, &enter);  // no change, no report
  QCoreApplication::sendEvent(&window, &leave);
  EXPECT_EQ(tracker.Hint(), "");
  ASSERT_EQ(hints.count(), 3);
  EXPECT_EQ(hints.at(0).at(0).toString(), "Close the window");
}

}  // namespace
}  // namespace velk
