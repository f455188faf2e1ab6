#include "platform/bitmap_graphic.h"

#include <QPainter>

#include "platform/qimage_view.h"

namespace velk {

BitmapGraphic::BitmapGraphic(velk::Bitmap bitmap) { SetBitmap(std::move(bitmap)); }

BitmapGraphic::BitmapGraphic(const BitmapGraphic& other) : Graphic(other) {
  SetBitmap(other.bitmap_);
}

void BitmapGraphic::Draw(QPainter& painter, const QRect& target) const {
  if (image_.isNull() || target.isEmpty()) return;
  painter.drawImage(target, image_);
}

std::unique_ptr<Graphic> BitmapGraphic::Clone() const {
  return std::make_unique<BitmapGraphic>(*this);
}

void BitmapGraphic::SetBitmap(velk::Bitmap bitmap) {
  image_ = QImage();
  bitmap_ = std::move(bitmap);
  PixelsChanged();
}

void BitmapGraphic::PixelsChanged() {
  image_ = BitmapAsQImage(bitmap_);
  Changed();
}

}  // namespace velk
