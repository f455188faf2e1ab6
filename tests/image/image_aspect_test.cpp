#include "image/image_aspect.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "platform/bitmap_graphic.h"
#include "support/pictures.h"

namespace velk {
namespace {

using test::SolidPicture;

TEST(ImageAspect, StartsSmallWithAutoSizeAndNoPicture) {
  TImageAspect view;
  EXPECT_EQ(view.size(), QSize(32, 32));
  EXPECT_TRUE(view.AutoSize());
  EXPECT_FALSE(view.GetPicture().HasGraphic());
  EXPECT_TRUE(view.PictureRect().isEmpty());
}

TEST(ImageAspect, AssigningCopiesThePictureAndAutoSizes) {
  TImageAspect view;
  view.move(5, 7);
  Picture source = SolidPicture(64, 40, 200);
  view.SetPicture(source);
  EXPECT_EQ(view.geometry(), QRect(5, 7, 64, 40));
  // The view holds its own copy.
  source.Clear();
  EXPECT_TRUE(view.GetPicture().HasGraphic());
  EXPECT_EQ(view.GetPicture().Width(), 64);
}

TEST(ImageAspect, ResizingAwayFromThePictureSizeSwitchesAutoSizeOff) {
  QWidget parent;
  parent.resize(300, 200);
  auto* view = new TImageAspect(&parent);
  parent.show();
  view->SetPicture(SolidPicture(50, 50, 10));
  EXPECT_TRUE(view->AutoSize());
  view->resize(120, 80);
  EXPECT_FALSE(view->AutoSize());
  // Switching it back on restores the picture's size.
  view->SetAutoSize(true);
  EXPECT_EQ(view->size(), QSize(50, 50));
}

TEST(ImageAspect, FillingItsParentItFitsAPhotoIntoThatArea) {
  QWidget parent;
  parent.resize(529, 487);
  auto* view = new TImageAspect(&parent);
  view->SetAlign(TAlign::Client);
  parent.show();
  view->SetPicture(SolidPicture(640, 480, 255));
  EXPECT_EQ(view->geometry(), QRect(0, 0, 529, 487));
  EXPECT_FALSE(view->AutoSize());
  EXPECT_EQ(view->PictureRect(), QRect(QPoint(0, 45), QPoint(528, 440)));

  // Painted: the fitted rectangle is red, the margins show the parent's background.
  parent.setAutoFillBackground(true);
  QPalette palette;
  palette.setColor(QPalette::Window, Qt::blue);
  parent.setPalette(palette);
  const QImage shot = parent.grab().toImage();
  EXPECT_EQ(shot.pixelColor(264, 100), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(264, 20), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(264, 470), QColor(Qt::blue));
}

TEST(ImageAspect, NothingIsDrawnWithoutPixels) {
  TImageAspect view;
  view.SetPicture(SolidPicture(20, 20, 255));
  view.SetPicture(Picture());
  EXPECT_TRUE(view.PictureRect().isEmpty());
  Picture empty;
  empty.SetBitmap(Bitmap());
  view.SetPicture(empty);
  EXPECT_EQ(view.size(), QSize(0, 0));  // auto-sized to the empty graphic
  view.SetAutoSize(false);
  view.resize(40, 30);
  EXPECT_TRUE(view.PictureRect().isEmpty());
  EXPECT_FALSE(view.grab().isNull());  // paints without drawing or crashing
}

TEST(ImageAspect, PaintsTheSmoothStretchOfItsPictureAndKeepsItWhenReleased) {
  Bitmap photo(900, 700, 24);
  for (int y = 0; y < photo.Height(); ++y)
    for (int x = 0; x < photo.Width(); ++x) {
      uint8_t* p = photo.ScanLine(y) + 3 * x;
      p[0] = uint8_t(x * 7 + y);
      p[1] = uint8_t((x ^ y) * 3);
      p[2] = uint8_t(y * 5);
    }
  Picture picture;
  picture.SetBitmap(photo);
  QWidget parent;
  parent.resize(529, 487);
  auto* view = new TImageAspect(&parent);
  view->SetAlign(TAlign::Client);
  parent.show();
  view->SetPicture(picture);
  // What a stretched draw of the whole picture gives, in the fitted rectangle.
  const QRect target = view->PictureRect();
  QImage expected(view->size(), QImage::Format_RGB32);
  expected.fill(Qt::black);
  QPainter painter(&expected);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  picture.GetGraphic()->Draw(painter, target);
  painter.end();
  const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown.copy(target), expected.copy(target));
  EXPECT_EQ(view->grab().toImage().convertToFormat(QImage::Format_RGB32), shown);  // repainted

  // Released, the picture is gone but the same pixels stay until a picture is set again.
  view->ReleasePictureKeepingView();
  EXPECT_FALSE(view->GetPicture().HasGraphic());
  EXPECT_EQ(view->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(target),
            expected.copy(target));
  view->SetPicture(Picture());
  const QImage blank = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_NE(blank.copy(target), expected.copy(target));
}

}  // namespace
}  // namespace velk
