#include "image/image_aspect.h"

#include <QPainter>

#include "image/fit_rect.h"

namespace velk {

TImageAspect::TImageAspect(QWidget* parent) : GraphicControl(parent) {
  picture_.OnChange = [this] { update(); };
  resize(32, 32);
}

bool TImageAspect::HasDrawableGraphic() const {
  return picture_.HasGraphic() && !picture_.GetGraphic()->Empty();
}

void TImageAspect::SetPicture(const Picture& p) {
  picture_ = p;
  if (autoSize_ && picture_.HasGraphic())
    SetBounds(x(), y(), picture_.Width(), picture_.Height());
}

void TImageAspect::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_ && picture_.HasGraphic())
    SetBounds(x(), y(), picture_.Width(), picture_.Height());
  PaintNow();
}

void TImageAspect::resizeEvent(QResizeEvent* event) {
  GraphicControl::resizeEvent(event);
  if (autoSize_ && picture_.HasGraphic() &&
      (width() != picture_.Width() || height() != picture_.Height()))
    SetAutoSize(false);
  PaintNow();
}

void TImageAspect::PaintNow() {
  if (isVisible()) repaint();
}

QRect TImageAspect::PictureRect() const {
  if (!HasDrawableGraphic()) return {};
  const FitRect r = ComputeFitRect(width(), height(), picture_.Width(), picture_.Height());
  return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

void TImageAspect::paintEvent(QPaintEvent*) {
  const QRect target = PictureRect();
  if (target.isEmpty()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  picture_.GetGraphic()->Draw(painter, target);
}

}  // namespace velk
