#include "chrome/trans_image.h"

#include <QPainter>


namespace velk {

namespace {
constexpr size_t kBatch = 2000;  // rectangles per region call, keeping each call small
}

std::vector<QRect> ShapeRuns(const Bitmap& bitmap, TColor transparent) {
  std::vector<QRect> runs;
  const TColor rgb = ColorToRGB(transparent);
  const RGBQuad cut{GetBValue(rgb), GetGValue(rgb), GetRValue(rgb), 0};
  // One 32-bit copy, so every pixel is read the same way whatever the bitmap's depth.
  const Bitmap pixels = bitmap.BitsPerPixel() == 32 ? bitmap : [&] {
    Bitmap wide(bitmap.Width(), bitmap.Height(), 32);
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) {
        const RGBQuad c = bitmap.PixelColor(x, y);
        uint8_t* out = wide.ScanLine(y) + 4 * x;
        out[0] = c.blue;
        out[1] = c.green;
        out[2] = c.red;
      }
    return wide;
  }();
  const int width = pixels.Width();
  for (int y = 0; y < pixels.Height(); ++y) {
    const uint8_t* row = pixels.ScanLine(y);
    auto transparentAt = [&](int x) {
      const uint8_t* p = row + 4 * x;
      return p[0] == cut.blue && p[1] == cut.green && p[2] == cut.red;
    };
    for (int x = 0; x < width; ++x) {
      const int start = x;
      while (x < width && !transparentAt(x)) ++x;
      if (x > start) runs.emplace_back(QPoint(start, y), QPoint(x - 1, y));
    }
  }
  return runs;
}

std::optional<QRegion> BuildShapeRegion(const Bitmap& bitmap, TColor transparent) {
  if (bitmap.Empty()) return std::nullopt;
  const std::vector<QRect> runs = ShapeRuns(bitmap, transparent);
  QRegion region;
  for (size_t first = 0; first < runs.size(); first += kBatch) {
    QRegion batch;
    batch.setRects(runs.data() + first, int(std::min(kBatch, runs.size() - first)));
    region = region.united(batch);
  }
  return region;
}

TTransImage::TTransImage(QWidget* parent) : GraphicControl(parent) {
  picture_.OnChange = [this] { update(); };
  SetAlign(TAlign::Client);
}

void TTransImage::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_ && picture_.HasGraphic()) SetBounds(x(), y(), picture_.Width(), picture_.Height());
}

void TTransImage::ApplyShape() {
  QWidget* host = parentWidget();
  if (!host) return;
  if (host->isWindow()) {
    const bool shown = host->isVisible();
    host->setWindowFlag(Qt::FramelessWindowHint, true);
    if (adjustFormSize_) {
      host->setFixedSize(picture_.Width(), picture_.Height());
      SetAlign(TAlign::Client);
      SetAutoSize(true);
    }
    if (shown) host->show();  // changing the frame hides a shown window
  }
  const Bitmap bitmap = picture_.HasGraphic() ? picture_.GetGraphic()->ToBitmap() : Bitmap();
  const std::optional<QRegion> shape = BuildShapeRegion(bitmap, transColor_);
  if (!shape) host->clearMask();
  else if (shape->isEmpty()) host->setMask(QRegion(-1, -1, 1, 1));  // cut away entirely
  else host->setMask(*shape);
}

void TTransImage::paintEvent(QPaintEvent*) {
  const Graphic* graphic = picture_.GetGraphic();
  if (!graphic || graphic->Empty()) return;
  QPainter painter(this);
  graphic->Draw(painter, QRect(0, 0, graphic->Width(), graphic->Height()));
}

}  // namespace velk
