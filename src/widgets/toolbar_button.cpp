#include "widgets/toolbar_button.h"

#include <QPainter>
#include <algorithm>

#include "platform/qimage_view.h"
#include "widgets/hint_tracker.h"

namespace velk {
namespace {

constexpr int kSpacing = 4;  // between glyph and caption
constexpr int kMarginX = 6;
constexpr int kMarginY = 3;

// A copy with every pixel of the key colour fully transparent.
QImage WithTransparentColor(const QImage& image, QRgb key) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  key &= 0xFFFFFF;
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
  }
  return out;
}

// The framework draws an image without a disabled look of its own as a dim grey shape.
QImage Greyed(const QImage& image) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const int grey = qGray(line[x]) / 2 + 40;
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
    }
  }
  return out;
}

}  // namespace

TToolbarButton97::TToolbarButton97(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);  // toolbar buttons never take the focus from the lists
  setAttribute(Qt::WA_Hover);
  // White on the program's black panels; the skins may set another palette.
  QPalette colours = palette();
  colours.setColor(QPalette::Active, QPalette::ButtonText, Qt::white);
  colours.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::white);
  colours.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(110, 110, 110));
  setPalette(colours);
}

void TToolbarButton97::SetCaption(const QString& caption) {
  setText(caption);
  updateGeometry();
}

void TToolbarButton97::SetGlyph(const QImage& glyph) {
  glyph_ = glyph;
  SliceGlyph();
}

void TToolbarButton97::SetGlyph(const Bitmap& glyph) {
  SetGlyph(BitmapAsQImage(glyph).copy());  // detached from the bitmap's memory
}

void TToolbarButton97::SetNumGlyphs(int count) {
  numGlyphs_ = std::clamp(count, 1, 4);
  SliceGlyph();
}

QString TToolbarButton97::Hint() const { return HintOf(this); }

void TToolbarButton97::SetHint(const QString& hint) {
  velk::SetHint(this, hint);
  // What the button does is its name to a screen reader; a glyph or "_" says nothing.
  setAccessibleName(GetShortHint(hint));
  setAccessibleDescription(GetLongHint(hint));
}

void TToolbarButton97::SetDown(bool down) {
  setCheckable(down || isCheckable());
  setChecked(down);
}

void TToolbarButton97::SliceGlyph() {
  for (QPixmap& slice : slices_) slice = QPixmap();
  if (glyph_.isNull()) {
    update();
    updateGeometry();
    return;
  }
  const QRgb key = glyph_.pixel(0, glyph_.height() - 1);
  const QImage clear = WithTransparentColor(glyph_, key);
  const int width = glyph_.width() / numGlyphs_;
  for (int i = 0; i < numGlyphs_ && width > 0; ++i)
    slices_[i] = QPixmap::fromImage(clear.copy(i * width, 0, width, glyph_.height()));
  update();
  updateGeometry();
}

QPixmap TToolbarButton97::GlyphPixmap(GlyphState state) const {
  const QPixmap& up = slices_[0];
  if (up.isNull()) return {};
  const QPixmap& own = slices_[static_cast<int>(state)];
  if (!own.isNull()) return own;
  switch (state) {
    case GlyphState::Disabled:
      return QPixmap::fromImage(Greyed(up.toImage()));
    case GlyphState::Down:
      return slices_[2].isNull() ? up : slices_[2];
    default:
      return up;
  }
}

QSize TToolbarButton97::sizeHint() const {
  const QSize glyph = slices_[0].isNull() ? QSize() : slices_[0].size();
  const QSize caption = text().isEmpty() ? QSize() : fontMetrics().size(Qt::TextShowMnemonic, text());
  const int gap = glyph.isEmpty() || caption.isEmpty() ? 0 : kSpacing;
  return {glyph.width() + gap + caption.width() + 2 * kMarginX,
          std::max({glyph.height(), caption.height(), 8}) + 2 * kMarginY};
}

void TToolbarButton97::enterEvent(QEnterEvent* event) {
  hot_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void TToolbarButton97::leaveEvent(QEvent* event) {
  hot_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

void TToolbarButton97::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool sunken = isDown() || isChecked();
  const bool raised = !sunken && hot_ && isEnabled();
  const QRect frame = rect().adjusted(0, 0, -1, -1);

  if (sunken || raised) {
    painter.fillRect(frame, QColor(255, 255, 255, sunken ? 48 : 28));
    const QColor light(255, 255, 255, 150), dark(255, 255, 255, 45);
    painter.setPen(sunken ? dark : light);
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(sunken ? light : dark);
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());
  }

  GlyphState state = GlyphState::Up;
  if (!isEnabled())
    state = GlyphState::Disabled;
  else if (isChecked() && !isDown())
    state = GlyphState::Down;
  else if (isDown())
    state = GlyphState::Pressed;
  const QPixmap glyph = GlyphPixmap(state);
  const QSize caption = text().isEmpty() ? QSize() : fontMetrics().size(Qt::TextShowMnemonic, text());
  const int gap = glyph.isNull() || caption.isEmpty() ? 0 : kSpacing;
  const int shift = sunken ? 1 : 0;  // the content moves with the press, like a real button
  int x = (width() - (glyph.width() + gap + caption.width())) / 2 + shift;

  if (!glyph.isNull()) {
    painter.drawPixmap(x, (height() - glyph.height()) / 2 + shift, glyph);
    x += glyph.width() + gap;
  }
  if (!caption.isEmpty()) {
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::ButtonText));
    painter.drawText(QRect(x, shift, caption.width(), height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
  }
  if (hasFocus()) {
    // A dotted frame in the text colour: the flat look has no other sign of the focus.
    painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

}  // namespace velk
