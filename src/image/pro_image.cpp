#include "image/pro_image.h"

#include <QImage>
#include <QPainter>

#include "platform/bitmap_graphic.h"

namespace velk {

TProImage::TProImage(QWidget* parent) : GraphicControl(parent) {
  picture_.OnChange = [this] { PictureChanged(); };
  resize(105, 105);
}

void TProImage::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  PictureChanged();
}

void TProImage::SetCenter(bool center) {
  if (center_ == center) return;
  center_ = center;
  PictureChanged();
}

void TProImage::SetStretch(bool stretch) {
  if (stretch_ == stretch) return;
  stretch_ = stretch;
  PictureChanged();
}

void TProImage::SetTiled(bool tiled) {
  if (tiled_ == tiled) return;
  tiled_ = tiled;
  PictureChanged();
}

void TProImage::PictureChanged() {
  if (autoSize_ && picture_.Width() > 0 && picture_.Height() > 0)
    SetBounds(x(), y(), picture_.Width(), picture_.Height());
  // Opaque when a bitmap covers the whole control, so the parent need not paint beneath it.
  const bool covers = dynamic_cast<const BitmapGraphic*>(picture_.GetGraphic()) &&
                      picture_.Width() >= width() && picture_.Height() >= height();
  setAttribute(Qt::WA_OpaquePaintEvent, covers);
  update();
}

QRect TProImage::DestRect() const {
  const int pw = picture_.Width(), ph = picture_.Height();
  if (stretch_) return rect();
  if (center_) return QRect((width() - pw) / 2, (height() - ph) / 2, pw, ph);
  return QRect(0, 0, pw, ph);
}

std::vector<QPoint> TProImage::TilePositions() const {
  std::vector<QPoint> tiles;
  const int pw = picture_.Width(), ph = picture_.Height();
  if (!picture_.HasGraphic() || pw <= 0 || ph <= 0) return tiles;
  for (int x = 0; x < width(); x += pw)
    for (int y = 0; y < height(); y += ph) tiles.emplace_back(x, y);
  return tiles;
}

void TProImage::paintEvent(QPaintEvent*) {
  const Graphic* graphic = picture_.GetGraphic();
  if (!graphic) return;
  QPainter painter(this);
  if (!tiled_) {
    graphic->Draw(painter, DestRect());
    return;
  }
  const std::vector<QPoint> tiles = TilePositions();
  if (tiles.empty()) return;
  // Composed off-screen and copied in one go, so the tiles do not flicker in.
  QImage canvas(size(), QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  QPainter tilePainter(&canvas);
  for (const QPoint& at : tiles) graphic->Draw(tilePainter, QRect(at, QSize(graphic->Width(), graphic->Height())));
  tilePainter.end();
  painter.drawImage(0, 0, canvas);
}

void TProImage::enterEvent(QEnterEvent* event) {
  GraphicControl::enterEvent(event);
  emit OnMouseEnter(this);
}

void TProImage::leaveEvent(QEvent* event) {
  GraphicControl::leaveEvent(event);
  emit OnMouseLeave(this);
}

}  // namespace velk
