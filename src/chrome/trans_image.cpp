#include "chrome/trans_image.h"

#include <QPainter>


namespace velk {

namespace {

// Appends the runs of one row; isSolid(x) tells a pixel that stays.
template <typename IsSolid>
void AddRowRuns(std::vector<QRect>& runs, int y, int width, IsSolid isSolid) {
  for (int x = 0; x < width; ++x) {
    const int start = x;
    while (x < width && isSolid(x)) ++x;
    if (x > start) runs.emplace_back(QPoint(start, y), QPoint(x - 1, y));
  }
}

}  // namespace

std::vector<QRect> ShapeRuns(const Bitmap& bitmap, TColor transparent) {
  std::vector<QRect> runs;
  runs.reserve(size_t(bitmap.Height()) * 4);
  const TColor rgb = ColorToRGB(transparent);
  const uint8_t b = GetBValue(rgb), g = GetGValue(rgb), r = GetRValue(rgb);
  const int width = bitmap.Width();
  const int bits = bitmap.BitsPerPixel();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    if (bits == 24 || bits == 32) {  // read in place: B, G, R[, X]
      const int step = bits / 8;
      AddRowRuns(runs, y, width, [&](int x) {
        const uint8_t* p = row + step * x;
        return ((p[0] ^ b) | (p[1] ^ g) | (p[2] ^ r)) != 0;
      });
    } else {
      AddRowRuns(runs, y, width, [&](int x) {
        const RGBQuad c = bitmap.PixelColor(x, y);
        return c.blue != b || c.green != g || c.red != r;
      });
    }
  }
  return runs;
}

std::optional<QRegion> BuildShapeRegion(const Bitmap& bitmap, TColor transparent) {
  if (bitmap.Empty()) return std::nullopt;
  const std::vector<QRect> runs = ShapeRuns(bitmap, transparent);
  // The runs come row by row, left to right, without overlaps: already the banded list a
  // region is made of, so the whole list goes in at once. (Batches of 2000 rectangles, which
  // other region APIs need to keep each call small, would only add merges here.)
  QRegion region;
  if (!runs.empty()) region.setRects(runs.data(), int(runs.size()));
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
