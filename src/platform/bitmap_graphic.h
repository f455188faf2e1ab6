#pragma once
// The framework's bitmap graphic: a Bitmap drawn through a QImage that shares its memory.
#include <QImage>

#include "platform/graphic.h"

namespace velk {

class BitmapGraphic : public Graphic {
public:
  BitmapGraphic() = default;
  explicit BitmapGraphic(Bitmap bitmap);
  BitmapGraphic(const BitmapGraphic& other);

  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  void Draw(QPainter& painter, const QRect& target) const override;
  std::unique_ptr<Graphic> Clone() const override;
  Bitmap ToBitmap() const override { return bitmap_; }

  const velk::Bitmap& GetBitmap() const { return bitmap_; }
  // Replaces the pixels; the display image is made again at once.
  void SetBitmap(velk::Bitmap bitmap);
  // After the pixels were changed in place through MutableBitmap().
  void PixelsChanged();
  velk::Bitmap& MutableBitmap() { return bitmap_; }
  const QImage& DisplayImage() const { return image_; }

private:
  velk::Bitmap bitmap_;
  QImage image_;  // shares bitmap_'s memory where the format allows
};

}  // namespace velk
