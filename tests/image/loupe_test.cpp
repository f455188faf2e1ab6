#include "image/loupe.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QPixmap>
#include <QTimer>

#include "image/loupe_form.h"
#include "platform/color.h"

namespace velk {
namespace {

QRgb Resolved(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TEST(Loupe, ZoomChangesOnlyTheCaptureAreaAndZeroOrLessBecomesOne) {
  Tloupe loupe;
  EXPECT_EQ(loupe.CaptureImage().size(), QSize(100, 100));
  loupe.resize(107, 162);
  loupe.SetZoomLevel(4);
  EXPECT_EQ(loupe.CaptureImage().size(), QSize(27, 40));
  // The off-screen image keeps its size until the next paint.
  EXPECT_EQ(loupe.OffscreenImage().size(), QSize(100, 100));
  loupe.SetZoomLevel(0);
  EXPECT_EQ(loupe.ZoomLevel(), 1.0);
  loupe.SetZoomLevel(-2.5);
  EXPECT_EQ(loupe.ZoomLevel(), 1.0);
  EXPECT_EQ(loupe.CaptureImage().size(), QSize(107, 162));
}

TEST(Loupe, IntervalsBelowTheFastestSpeedRunAtTheFastest) {
  Tloupe loupe;
  for (int interval : {0, -5, 99}) {
    loupe.SetInterval(interval);
    EXPECT_EQ(loupe.Interval(), 100) << interval;
    EXPECT_EQ(loupe.findChild<QTimer*>()->interval(), 100) << interval;
  }
  loupe.SetInterval(250);
  EXPECT_EQ(loupe.findChild<QTimer*>()->interval(), 250);
}

TEST(Loupe, PaintResizesTheImagesAndDrawsBevelsOverThePicture) {
  Tloupe loupe;
  loupe.resize(107, 162);
  loupe.SetZoomLevel(2);
  loupe.SetBevelwidth(2);
  loupe.CaptureAround(QPoint(-100000, -100000));  // off every screen: black
  const QImage shown = loupe.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage& image = loupe.OffscreenImage();
  ASSERT_EQ(image.size(), QSize(107, 162));
  EXPECT_EQ(loupe.CaptureImage().size(), QSize(54, 81));

  const QRgb shadow = Resolved(clBtnShadow), highlight = Resolved(clBtnHighlight);
  // Lowered outer rings 0 and 1, raised inner rings 2 and 3, the picture inside.
  const std::vector<std::pair<QPoint, QRgb>> expected = {
      {{0, 50}, shadow},     {{1, 50}, shadow},       {{2, 50}, highlight}, {{3, 3}, highlight},
      {{106, 50}, highlight}, {{50, 161}, highlight}, {{104, 50}, shadow},  {{50, 158}, shadow},
      {{106, 0}, highlight}, {{0, 0}, shadow},        {{50, 80}, qRgb(0, 0, 0)}};
  for (const auto& [at, colour] : expected) {
    EXPECT_EQ(image.pixel(at), colour) << at.x() << "," << at.y();
    EXPECT_EQ(shown.pixel(at), colour) << at.x() << "," << at.y();
  }
  loupe.SetBevelOuter(TPanelBevel::Raised);
  loupe.SetBevelwidth(0);
  EXPECT_EQ(loupe.Bevelwidth(), 1);
  loupe.grab();
  EXPECT_EQ(loupe.OffscreenImage().pixel(0, 50), highlight);
}

TEST(LoupeForm, IsAHiddenAlwaysOnTopToolWindowWithARunningLoupe) {
  TLoupeform form;
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.windowTitle(), "Loupe");
  const Qt::WindowFlags flags = form.windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(form.pos(), QPoint(660, 182));
  Tloupe* loupe = form.findChild<Tloupe*>("loupe");
  ASSERT_EQ(loupe, form.loupe());
  EXPECT_EQ(loupe->size(), QSize(107, 162));
  EXPECT_EQ(loupe->Interval(), 1000);
  EXPECT_TRUE(loupe->Active());
  EXPECT_TRUE(loupe->Capturing());
}

TEST(LoupeForm, MenuItemsCarryTheirNamesTagsAndCaptions) {
  TLoupeform form;
  const char* speeds[] = {"&Fastest", "F&ast", "&Normal", "&Slow", "S&lowest", "F&reeze"};
  for (int i = 1; i <= 6; ++i) {
    QAction* item = form.FindItem("S" + QString::number(i));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->objectName(), "s" + QString::number(i));
    EXPECT_EQ(item->text(), speeds[i - 1]);
    EXPECT_EQ(TLoupeform::Tag(item), i);
    EXPECT_TRUE(item->isCheckable() && !item->isChecked());
  }
  for (int factor = 1; factor <= 10; ++factor) {
    QAction* item = form.FindItem("n" + QString::number(factor) + "001");
    ASSERT_NE(item, nullptr) << factor;
    EXPECT_EQ(item->objectName(), LoupeZoomItemName(factor));
    EXPECT_EQ(TLoupeform::Tag(item), factor - 1);
    EXPECT_TRUE(item->isCheckable());
  }
  EXPECT_EQ(form.FindItem("N10001")->text(), "1&000%");
  EXPECT_EQ(form.FindItem("interval1")->text(), "&Speed");
  EXPECT_EQ(form.FindItem("ZOOM")->text(), "&Zoom");
  EXPECT_EQ(TLoupeform::Tag(form.FindItem("Options1")), -1);
  EXPECT_EQ(form.FindItem(LoupeZoomItemName(1.5)), nullptr);
}

TEST(LoupeForm, FreezeThenAnySpeedResumesWhileActiveStaysFalse) {
  TLoupeform form;
  Tloupe* loupe = form.loupe();
  form.FindItem("S3")->trigger();
  form.FindItem("S6")->trigger();
  EXPECT_FALSE(loupe->Active());
  EXPECT_FALSE(loupe->Capturing());
  EXPECT_EQ(loupe->Interval(), 500);
  form.FindItem("S6")->trigger();  // choosing the checked item keeps it checked
  EXPECT_TRUE(form.FindItem("S6")->isChecked());

  const int intervals[] = {100, 250, 500, 750, 1000};
  for (int i = 5; i >= 1; --i) {
    form.FindItem("S" + QString::number(i))->trigger();
    EXPECT_EQ(loupe->Interval(), intervals[i - 1]);
  }
  EXPECT_TRUE(loupe->Capturing());
  EXPECT_FALSE(loupe->Active());
  for (int i = 1; i <= 6; ++i)
    EXPECT_EQ(form.FindItem("S" + QString::number(i))->isChecked(), i == 1) << i;
}

TEST(LoupeForm, ZoomChoiceChecksOneItemAndWaitsForTheNextCapture) {
  TLoupeform form;
  Tloupe* loupe = form.loupe();
  form.FindItem("S6")->trigger();
  loupe->grab();
  const QImage before = loupe->OffscreenImage();
  form.FindItem("N3001")->trigger();
  EXPECT_EQ(loupe->CaptureImage().size(), QSize(36, 54));
  form.FindItem("N10001")->trigger();
  EXPECT_EQ(loupe->ZoomLevel(), 10.0);
  for (int factor = 1; factor <= 10; ++factor)
    EXPECT_EQ(form.FindItem(LoupeZoomItemName(factor))->isChecked(), factor == 10);
  // Frozen: the picture stays as it was.
  EXPECT_EQ(loupe->OffscreenImage(), before);
}

}  // namespace
}  // namespace velk
