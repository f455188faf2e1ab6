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
  EXPECT_EQ(splash->closeTimer->interval(), 1500);
  EXPECT_TRUE(splash->closeTimer->isActive());
  // The white outside the artwork's rounded outline is cut away; the middle stays.
  EXPECT_FALSE(splash->mask().isEmpty());
  EXPECT_FALSE(splash->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(splash->mask().contains(QPoint(175, 70)));
  EXPECT_TRUE(splash->tileImage->Tiled());
  EXPECT_EQ(splash->smileyIcon->pixmap().size(), splash->viewerIcon->pixmap().size());
  EXPECT_EQ(splash->titleLabel->text(), "Velk's JPEG Viewer");
  EXPECT_EQ(splash->Version->text(), "Version 0.91");

  splash->show();
  QTest::mouseClick(splash->loadingLabel, Qt::LeftButton);
  EXPECT_FALSE(splash->isVisible());
  splash->CloseSplash();  // a tick after the click does nothing more
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull());
}

}  // namespace
}  // namespace velk
