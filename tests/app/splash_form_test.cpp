#include "app/splash_form.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include "chrome/trans_image.h"
#include "image/pro_image.h"

namespace velk {
namespace {

TEST(SplashForm, ShapedBorderlessAndClosedByTheFirstClickOrTick) {
  QPointer<TSplashForm> splash = new TSplashForm;
  EXPECT_EQ(splash->size(), QSize(350, 139));
  EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(splash->Timer1->interval(), 1500);
  EXPECT_TRUE(splash->Timer1->isActive());
  // The white outside the artwork's rounded outline is cut away; the middle stays.
  EXPECT_FALSE(splash->mask().isEmpty());
  EXPECT_FALSE(splash->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(splash->mask().contains(QPoint(175, 70)));
  EXPECT_TRUE(splash->ProImage1->Tiled());
  EXPECT_EQ(splash->Image2->pixmap().size(), splash->Image1->pixmap().size());
  EXPECT_EQ(splash->Label1->text(), "Velk's JPEG Viewer");
  EXPECT_EQ(splash->Version->text(), "Version 0.91");

  splash->show();
  QTest::mouseClick(splash->Label3, Qt::LeftButton);
  EXPECT_FALSE(splash->isVisible());
  splash->Timer1Timer();  // a tick after the click does nothing more
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull());
}

}  // namespace
}  // namespace velk
