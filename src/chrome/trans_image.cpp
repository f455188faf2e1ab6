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

uint64_t Load64(const uint8_t* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return word;
}

// The runs of one 24-bit row, found without looking at every pixel: the next transparent pixel
// by searching for its blue byte, the end of a transparent stretch 24 bytes at a time against
// keyRow, the transparent colour repeated as the row's bytes would hold it (24 bytes longer).
void AddRow24Runs(std::vector<QRect>& runs, int y, const uint8_t* row, int width,
                  const std::vector<uint8_t>& keyRow) {
  const size_t end = size_t(width) * 3;
  const uint8_t b = keyRow[0], g = keyRow[1], r = keyRow[2];
  const auto transparentAt = [&](size_t i) {
    return row[i] == b && row[i + 1] == g && row[i + 2] == r;
  };
  size_t i = 0;  // always a pixel's first byte
  while (i < end) {
    // Solid pixels up to the next transparent one.
    const size_t start = i;
    size_t from = i;
    for (i = end; from < end;) {
      const auto* found = static_cast<const uint8_t*>(std::memchr(row + from, b, end - from));
      if (!found) break;
      const size_t j = size_t(found - row);
      if (j % 3 == 0 && transparentAt(j)) {
        i = j;
        break;
      }
      from = j + 1;
    }
    if (i > start) runs.emplace_back(QPoint(int(start / 3), y), QPoint(int(i / 3) - 1, y));
    // Transparent pixels up to the next solid one.
    while (i + 24 <= end) {
      const uint8_t* key = keyRow.data() + i;
      const uint64_t d0 = Load64(row + i) ^ Load64(key);
      const uint64_t d1 = Load64(row + i + 8) ^ Load64(key + 8);
      const uint64_t d2 = Load64(row + i + 16) ^ Load64(key + 16);
      if ((d0 | d1 | d2) == 0) {
        i += 24;
        continue;
      }
      const size_t offset = d0   ? size_t(__builtin_ctzll(d0)) / 8
                            : d1 ? 8 + size_t(__builtin_ctzll(d1)) / 8
                                 : 16 + size_t(__builtin_ctzll(d2)) / 8;
      i += offset - offset % 3;
      break;
    }
    while (i < end && transparentAt(i)) i += 3;
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
  if (bits == 24) {
    std::vector<uint8_t> keyRow(size_t(width) * 3 + 24);
    for (size_t i = 0; i < keyRow.size(); ++i) keyRow[i] = i % 3 == 0 ? b : i % 3 == 1 ? g : r;
    for (int y = 0; y < bitmap.Height(); ++y)
      AddRow24Runs(runs, y, bitmap.ScanLine(y), width, keyRow);
    return runs;
  }
  std::vector<uint8_t> cut(static_cast<size_t>(width));
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    // Mark the row first in a tight loop, then find the runs in the marks.
    if (bits == 32) {
      for (int x = 0; x < width; ++x) cut[size_t(x)] = (Load32(row + 4 * x) & 0xFFFFFFu) == key;
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
