#include "chrome/trans_image.h"

#include <QPainter>
#include <cstring>


namespace velk {

namespace {

uint32_t Load32(const uint8_t* p) {
  uint32_t word;
  std::memcpy(&word, p, 4);
  return word;
}

// Appends the runs of one row from its cut marks (1 = transparent): skip cut pixels, then
// take the solid ones up to the next cut.
void AddRowRuns(std::vector<QRect>& runs, int y, const std::vector<uint8_t>& cut) {
  const int width = int(cut.size());
  const uint8_t* marks = cut.data();
  int x = 0;
  while (x < width) {
    while (x < width && marks[x]) ++x;
    const int start = x;
    while (x < width && !marks[x]) ++x;
    if (x > start) runs.emplace_back(QPoint(start, y), QPoint(x - 1, y));
  }
}

}  // namespace

std::vector<QRect> ShapeRuns(const Bitmap& bitmap, TColor transparent) {
  std::vector<QRect> runs;
  runs.reserve(size_t(bitmap.Height()) * 4);
  const TColor rgb = ColorToRGB(transparent);
  const uint8_t b = GetBValue(rgb), g = GetGValue(rgb), r = GetRValue(rgb);
  const uint32_t key = uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
  const int width = bitmap.Width();
  const int bits = bitmap.BitsPerPixel();
  std::vector<uint8_t> cut(static_cast<size_t>(width));
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    // Mark the row first in a tight loop, then find the runs in the marks.
    if (bits == 32) {
      for (int x = 0; x < width; ++x) cut[size_t(x)] = (Load32(row + 4 * x) & 0xFFFFFFu) == key;
    } else if (bits == 24) {
      // Words overlap the next pixel; the row's last pixel may end the buffer.
      for (int x = 0; x + 1 < width; ++x) cut[size_t(x)] = (Load32(row + 3 * x) & 0xFFFFFFu) == key;
      const uint8_t* last = row + 3 * (width - 1);
      if (width > 0) cut[size_t(width - 1)] = last[0] == b && last[1] == g && last[2] == r;
    } else {
      for (int x = 0; x < width; ++x) {
        const RGBQuad c = bitmap.PixelColor(x, y);
        cut[size_t(x)] = c.blue == b && c.green == g && c.red == r;
      }
    }
    AddRowRuns(runs, y, cut);
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
