#include "image/image_aspect.h"

#include <QPainter>

#include "image/fit_rect.h"
#include "platform/bitmap_graphic.h"
#include "platform/qimage_view.h"

namespace velk {

TImageAspect::TImageAspect(QWidget* parent) : GraphicControl(parent) {
  picture_.OnChange = [this] { update(); };
  resize(32, 32);
}

bool TImageAspect::HasDrawableGraphic() const {
  return picture_.HasGraphic() && !picture_.GetGraphic()->Empty();
}

void TImageAspect::SetPicture(const Picture& p) {
  keptView_ = false;
  fitted_ = QImage();
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

QRect TImageAspect::FitTarget(QSize control, QSize picture) {
  if (picture.isEmpty()) return {};
  const FitRect r = ComputeFitRect(control.width(), control.height(), picture.width(), picture.height());
  return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

QRect TImageAspect::PictureRect() const {
  if (!HasDrawableGraphic()) return {};
  return FitTarget(size(), QSize(picture_.Width(), picture_.Height()));
}

QImage TImageAspect::FitImage(const Graphic& still, QSize target, qreal pixelRatio) {
  // Drawn as the control would draw it, so the pixels are the same.
  QImage image = RecycledQImage((QSizeF(target) * pixelRatio).toSize(), QImage::Format_RGB32);
  image.setDevicePixelRatio(pixelRatio);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  still.Draw(painter, QRect(QPoint(0, 0), target));
  painter.end();
  return image;
}

void TImageAspect::OfferFitted(const QImage& fitted, const QRect& target) {
  // Checked when it is drawn, as a copy made here is: the control may not be laid out yet.
  if (fitted.isNull() || !dynamic_cast<const BitmapGraphic*>(picture_.GetGraphic())) return;
  fitted_ = fitted;
  fittedTarget_ = target;
  fittedGeneration_ = picture_.Generation();
}

void TImageAspect::ReleasePictureKeepingView() {
  const auto* still = dynamic_cast<const BitmapGraphic*>(picture_.GetGraphic());
  if (!still) return;  // animations keep their frames
  const QRect target = PictureRect();
  if (isVisible() && !target.isEmpty()) Fitted(*still, target);
  else fitted_ = QImage();
  keptView_ = true;
  // The same pixels stay on screen: no repaint is asked for.
  auto onChange = std::move(picture_.OnChange);
  picture_.Clear();
  picture_.OnChange = std::move(onChange);
}

const QImage& TImageAspect::Fitted(const Graphic& still, const QRect& target) {
  const qreal ratio = devicePixelRatioF();
  if (fitted_.isNull() || fittedTarget_ != target || fittedGeneration_ != picture_.Generation() ||
      fitted_.devicePixelRatio() != ratio) {
    fitted_ = FitImage(still, target.size(), ratio);
    fittedTarget_ = target;
    fittedGeneration_ = picture_.Generation();
  }
  return fitted_;
}

void TImageAspect::paintEvent(QPaintEvent*) {
  if (keptView_) {
    if (fitted_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(fittedTarget_.topLeft(), fitted_);
    return;
  }
  const QRect target = PictureRect();
  if (target.isEmpty()) return;
  QPainter painter(this);
  if (const auto* still = dynamic_cast<const BitmapGraphic*>(picture_.GetGraphic())) {
    painter.drawImage(target.topLeft(), Fitted(*still, target));
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  picture_.GetGraphic()->Draw(painter, target);
}

}  // namespace velk
