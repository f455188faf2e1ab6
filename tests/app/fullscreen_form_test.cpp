#include "app/fullscreen_form.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "platform/application.h"

namespace velk {
namespace {

Picture Solid(int width, int height) {
  Picture picture;
  picture.SetBitmap(Bitmap(width, height, 24));
  return picture;
}

TEST(Fullscreenform, CoversTheScreenAndClosesOnAClickOnPictureOrCaption) {
  TFullscreenform form;
  EXPECT_EQ(form.geometry(), QRect(QPoint(0, 0), QGuiApplication::primaryScreen()->size()));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(form.isVisible());

  int stops = 0;
  form.OnStopSlideShow = [&] { ++stops; };
  Picture picture = Solid(64, 48);
  form.ShowPicture(picture, "/pictures/a.jpg");
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.captionLabel->isVisible());
  EXPECT_EQ(form.captionLabel->text(), "/pictures/a.jpg");
  EXPECT_EQ(form.windowTitle(), "a.jpg - " + Application::Title());
  // The view fills everything above the one-line caption, whatever the picture's size.
  EXPECT_EQ(form.pictureView->geometry(), QRect(0, 0, form.width(), form.height() - 13));
  picture.Clear();  // the window holds its own copy
  EXPECT_EQ(form.pictureView->GetPicture().Width(), 64);

  // A click on the background around the fitted picture closes it too.
  QTest::mouseClick(form.pictureView, Qt::LeftButton, {}, QPoint(1, 1));
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.captionLabel->isVisibleTo(&form));
  EXPECT_EQ(stops, 1);

  // The next use shows the caption again; a click on the caption closes.
  form.ShowPicture(Solid(10, 10), "/pictures/b.bmp");
  EXPECT_TRUE(form.captionLabel->isVisible());
  QTest::mouseClick(form.captionLabel, Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
  form.ShowPicture(Solid(10, 10), "x");
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(stops, 3);
}

}  // namespace
}  // namespace velk
