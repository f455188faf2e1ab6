#pragma once
// The framework's bitmap graphic: a Bitmap drawn through a QImage that shares its memory.
// Copies share the pixels until one of them is changed, as the framework's bitmaps do, so a
// picture shown in two controls costs its memory once.
#include <QImage>
#include <memory>

#include "platform/graphic.h"

namespace velk {

class BitmapGraphic : public Graphic {
public:
  BitmapGraphic() = default;
  explicit BitmapGraphic(Bitmap bitmap);
  BitmapGraphic(const BitmapGraphic& other) = default;

  int Width() const override { return bitmap_->Width(); }
  int Height() const override { return bitmap_->Height(); }
  void Draw(QPainter& painter, const QRect& target) const override;
  std::unique_ptr<Graphic> Clone() const override;
  Bitmap ToBitmap() const override { return *bitmap_; }

  const velk::Bitmap& GetBitmap() const { return *bitmap_; }
  // Replaces the pixels; the display image is made again at once.
  void SetBitmap(velk::Bitmap bitmap);
  // The pixels to change in place (a copy of its own first when they are shared); call
  // PixelsChanged() afterwards.
  velk::Bitmap& MutableBitmap();
  void PixelsChanged();
  const QImage& DisplayImage() const { return image_; }

private:
  std::shared_ptr<velk::Bitmap> bitmap_ = std::make_shared<velk::Bitmap>();
  QImage image_;  // shares bitmap_'s memory where the format allows
};

}  // namespace velk
