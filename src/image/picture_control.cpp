#include "image/picture_control.h"

#include <QPainter>

namespace velk {

PictureControl::PictureControl(QWidget* parent) : GraphicControl(parent) {
  picture_.OnChange = [this] { update(); };
}

void PictureControl::SetStretch(bool stretch) {
  if (stretch_ == stretch) return;
  stretch_ = stretch;
  update();
}

void PictureControl::paintEvent(QPaintEvent*) {
  const Graphic* graphic = picture_.GetGraphic();
  if (!graphic || graphic->Empty()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, stretch_);
  graphic->Draw(painter, stretch_ ? rect() : QRect(0, 0, graphic->Width(), graphic->Height()));
}

}  // namespace velk
