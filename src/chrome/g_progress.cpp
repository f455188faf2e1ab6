#include "chrome/g_progress.h"
#include "platform/system_colors.h"

#include <QPainter>
#include <cstdint>
#include <cstdlib>

#include "platform/dialogs.h"

namespace velk {
namespace {

constexpr const char* kRangeMessage = "Value must be between 0 and 2147483647";

}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t product = int64_t(a) * b;
  int64_t divisor = c;
  const bool negative = (product < 0) != (divisor < 0);
  product = std::llabs(product);
  divisor = std::llabs(divisor);
  const int64_t quotient = (product + divisor / 2) / divisor;
  return int(negative ? -quotient : quotient);
}

TGProgress::TGProgress(QWidget* parent) : GraphicControl(parent) { resize(150, 16); }

void TGProgress::SetMin(int value) {
  if (value < 0) AppDialogs().ShowError(kRangeMessage);
  else min_ = value;
  if (position_ < min_) SetPosition(min_);
  RepaintNow();
}

void TGProgress::SetMax(int value) {
  if (value < 0) AppDialogs().ShowError(kRangeMessage);
  else max_ = value;
  if (position_ > max_) SetPosition(max_);
  RepaintNow();
}

void TGProgress::SetStep(int value) {
  if (value < 0) AppDialogs().ShowError(kRangeMessage);
  else step_ = value;
}

void TGProgress::SetPosition(int value) {
  if (value > max_) value = max_;
  if (value < min_) value = min_;
  position_ = value;
  if (position_ < previousPosition_) {
    Invalidate();
  } else {
    addBlocks_ = true;
    RepaintNow();
  }
  previousPosition_ = position_;
}

void TGProgress::SetColor(TColor color) { color_ = color; Invalidate(); }
void TGProgress::SetColorEnd(TColor color) { colorEnd_ = color; Invalidate(); }
void TGProgress::SetBackgroundColor(TColor color) { backgroundColor_ = color; Invalidate(); }
void TGProgress::SetFrameColor1(TColor color) { frameColor1_ = color; Invalidate(); }
void TGProgress::SetFrameColor2(TColor color) { frameColor2_ = color; Invalidate(); }
void TGProgress::SetGradientBar(bool on) { gradientBar_ = on; Invalidate(); }
void TGProgress::SetSolid(bool on) { solid_ = on; Invalidate(); }
void TGProgress::SetTransparent(bool on) { transparent_ = on; Invalidate(); }

int TGProgress::LastBlock() const {
  const int64_t range = int64_t(max_) - min_;
  if (range == 0) return -1;
  // 64 bits: the position times the width overflows 32 bits for large ranges.
  const int64_t last = ((int64_t(position_) - min_) * width() - 4) / range / 10;
  return last >= 0 ? int(last) : -1;
}

TColor TGProgress::BlockColor(int i) const {
  const int n = width() / 10;
  if (i == n) return ColorToRGB(colorEnd_);
  const TColor start = ColorToRGB(color_);
  // A bar narrower than 20 pixels has no room for a gradient: its blocks keep Color.
  if (n < 2) return start;
  const TColor end = ColorToRGB(colorEnd_);
  auto channel = [&](uint8_t from, uint8_t to) {
    return uint8_t(from + MulDiv(i, int(to) - int(from), n - 1));
  };
  return RGB(channel(GetRValue(start), GetRValue(end)), channel(GetGValue(start), GetGValue(end)),
             channel(GetBValue(start), GetBValue(end)));
}

void TGProgress::Invalidate() {
  invalidPending_ = true;
  update();
}

void TGProgress::RepaintNow() {
  if (!isVisible() || !updatesEnabled()) return;  // the next paint is a full one
  if (addBlocks_ && surface_.size() == size()) DrawBlocks(LastBlock());
  else FullPaint();
  flushing_ = true;
  repaint();
  flushing_ = false;
  // Our repaint may have swallowed a pending update; the owed full paint must still come.
  if (invalidPending_) update();
}

void TGProgress::paintEvent(QPaintEvent*) {
  // Every paint the system asks for is a full paint; our own flush only shows the surface.
  if (!flushing_ || surface_.size() != size()) FullPaint();
  QPainter painter(this);
  painter.drawImage(0, 0, surface_);
}

void TGProgress::FullPaint() {
  invalidPending_ = false;
  addBlocks_ = false;
  if (surface_.size() != size()) surface_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
  if (surface_.isNull()) return;
  surface_.fill(Qt::transparent);
  const int w = width(), h = height();
  QPainter painter(&surface_);
  if (!transparent_ && w > 2 && h > 2)
    painter.fillRect(QRect(1, 1, w - 2, h - 2), ToQColor(backgroundColor_));
  painter.end();
  DrawBlocks(LastBlock());
  painter.begin(&surface_);
  // Left and top edges, then right and bottom; each polyline leaves out its last point.
  const QColor frame1 = ToQColor(frameColor1_), frame2 = ToQColor(frameColor2_);
  painter.fillRect(0, 0, 1, h, frame1);
  painter.fillRect(0, 0, w, 1, frame1);
  painter.fillRect(w - 1, 1, 1, h - 2, frame2);
  painter.fillRect(1, h - 1, w - 1, 1, frame2);
}

void TGProgress::DrawBlocks(int last) {
  for (int i = 0; i <= last; ++i) DrawBlock(i);
}

void TGProgress::DrawBlock(int i) {
  if (position_ == min_ || surface_.isNull()) return;
  const TColor color = gradientBar_ ? BlockColor(i) : ColorToRGB(color_);
  const int left = i == 0 ? 2 : (solid_ ? 10 * i : 10 * i + 2);
  const int blockWidth = solid_ ? 10 : 8;
  QPainter painter(&surface_);
  if (height() > 4) painter.fillRect(QRect(left, 2, blockWidth, height() - 4), ToQColor(color));
  // A block that reaches the frame must not cover its right edge.
  painter.fillRect(width() - 1, 1, 1, height() - 2, ToQColor(frameColor2_));
}

}  // namespace velk
