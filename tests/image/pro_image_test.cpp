#include "image/pro_image.h"

#include <gtest/gtest.h>

#include <QImage>

#include "support/pictures.h"

namespace velk {
namespace {

Picture Square(int size, uint8_t red) { return test::SolidPicture(size, size, red); }

TEST(ProImage, ModesAndTheirPrecedence) {
  TProImage image;
  EXPECT_EQ(image.size(), QSize(105, 105));
  image.resize(25, 25);
  image.SetPicture(Square(10, 255));
  EXPECT_EQ(image.DestRect(), QRect(0, 0, 10, 10));
  image.SetCenter(true);
  EXPECT_EQ(image.DestRect(), QRect(7, 7, 10, 10));
  image.SetStretch(true);  // stretch wins over centre
  EXPECT_EQ(image.DestRect(), QRect(0, 0, 25, 25));
  image.SetTiled(true);    // tiles win over both
  const std::vector<QPoint> tiles = image.TilePositions();
  EXPECT_EQ(tiles.size(), 9u);
  EXPECT_EQ(tiles.back(), QPoint(20, 20));

  // A picture larger than the control, centred: negative offsets, the middle showing.
  TProImage big;
  big.resize(20, 20);
  big.SetPicture(Square(50, 10));
  big.SetCenter(true);
  EXPECT_EQ(big.DestRect(), QRect(-15, -15, 50, 50));
}

TEST(ProImage, TilesCoverTheControlAndEmptyPicturesDrawNothing) {
  TProImage image;
  image.resize(25, 25);
  image.SetTiled(true);
  EXPECT_TRUE(image.TilePositions().empty());
  Bitmap checker(10, 10, 24);
  checker.ScanLine(0)[2] = 255;  // one red pixel at each tile's corner
  Picture picture;
  picture.SetBitmap(std::move(checker));
  image.SetPicture(picture);
  const QImage shot = image.grab().toImage();
  for (int at : {0, 10, 20}) EXPECT_EQ(shot.pixelColor(at, at), QColor(255, 0, 0)) << at;
  EXPECT_EQ(shot.pixelColor(5, 5), QColor(0, 0, 0));
}

TEST(ProImage, AutoSizeFollowsNonEmptyPictures) {
  TProImage image;
  image.SetAutoSize(true);
  EXPECT_EQ(image.size(), QSize(105, 105));  // empty picture: unchanged
  image.SetPicture(Square(30, 1));
  EXPECT_EQ(image.size(), QSize(30, 30));
  EXPECT_TRUE(image.testAttribute(Qt::WA_OpaquePaintEvent));
}

}  // namespace
}  // namespace velk
