#include "platform/bitmap_graphic.h"

#include <QPainter>

#include "platform/qimage_view.h"

namespace velk {

BitmapGraphic::BitmapGraphic(velk::Bitmap bitmap) { SetBitmap(std::move(bitmap)); }

void BitmapGraphic::Draw(QPainter& painter, const QRect& target) const {
  if (image_.isNull() || target.isEmpty()) return;
  painter.drawImage(target, image_);
}

std::unique_ptr<Graphic> BitmapGraphic::Clone() const {
  return std::make_unique<BitmapGraphic>(*this);
}

void BitmapGraphic::SetBitmap(velk::Bitmap bitmap) {
  image_ = QImage();
  bitmap_ = std::make_shared<velk::Bitmap>(std::move(bitmap));
  PixelsChanged();
}

velk::Bitmap& BitmapGraphic::MutableBitmap() {
  if (bitmap_.use_count() > 1) {
    bitmap_ = std::make_shared<velk::Bitmap>(*bitmap_);
    image_ = BitmapAsQImage(*bitmap_);
  }
  return *bitmap_;
}

void BitmapGraphic::PixelsChanged() {
  image_ = BitmapAsQImage(*bitmap_);
  Changed();
}

}  // namespace velk
