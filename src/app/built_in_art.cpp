#include "app/built_in_art.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "platform/qimage_view.h"

namespace velk {

namespace {
QImage Canvas(int width, int height, const QColor& fill) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}
}  // namespace

Bitmap SplashArtwork() {
  QImage image = Canvas(350, 139, Qt::white);
  QPainter painter(&image);
  // No smoothing at the outline: a blended edge pixel would survive the white cut-out as a halo.
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0, 0, 349, 138), 18, 18);
  QLinearGradient body(0, 0, 0, 139);
  body.setColorAt(0, QColor(238, 232, 214));
  body.setColorAt(1, QColor(206, 196, 170));
  painter.fillPath(outline, body);
  painter.setPen(QPen(QColor(40, 44, 58), 3));
  painter.drawPath(outline);
  return BitmapFromQImage(image);
}

Bitmap SplashTile() {
  QImage image = Canvas(16, 16, QColor(232, 226, 206));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int grain = ((x * 7 + y * 13) ^ (x * y)) % 9;  // a fixed, soft speckle
      image.setPixelColor(x, y, QColor(226 + grain, 220 + grain, 200 + grain));
    }
  return BitmapFromQImage(image);
}

Bitmap ViewerIcon() {
  QImage image = Canvas(37, 33, QColor(232, 226, 206));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(40, 44, 58), 2));
  painter.setBrush(QColor(70, 110, 170));
  painter.drawRoundedRect(QRectF(2, 3, 33, 27), 3, 3);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(250, 220, 120));
  painter.drawEllipse(QPointF(25, 11), 4, 4);
  painter.setBrush(QColor(60, 130, 80));
  QPolygonF hills;
  hills << QPointF(3, 29) << QPointF(13, 15) << QPointF(20, 22) << QPointF(26, 17) << QPointF(34, 29);
  painter.drawPolygon(hills);
  return BitmapFromQImage(image);
}

}  // namespace velk
