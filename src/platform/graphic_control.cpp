#include "platform/graphic_control.h"

#include <QEvent>
#include <QMouseEvent>

namespace velk {

GraphicControl::GraphicControl(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
}

void GraphicControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  if (parentWidget()) {
    if (align == TAlign::Client) parentWidget()->installEventFilter(this);
    else parentWidget()->removeEventFilter(this);
  }
  align_ = align;
  RealignToParent();
}

void GraphicControl::SetBounds(int left, int top, int width, int height) {
  setGeometry(left, top, width, height);
  RealignToParent();
}

void GraphicControl::RealignToParent() {
  if (align_ == TAlign::Client && parentWidget()) setGeometry(parentWidget()->rect());
}

bool GraphicControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) RealignToParent();
  return QWidget::eventFilter(watched, event);
}

void GraphicControl::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  emit OnMouseDown(this, event);
}

void GraphicControl::mouseMoveEvent(QMouseEvent* event) { emit OnMouseMove(this, event); }

void GraphicControl::mouseReleaseEvent(QMouseEvent* event) {
  emit OnMouseUp(this, event);
  // A click is a left press and release over the control.
  if (pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit OnClick(this);
  pressed_ = false;
}

void GraphicControl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit OnDblClick(this);
}

}  // namespace velk
