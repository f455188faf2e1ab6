#include "app/scroll_box.h"

#include <QEvent>

namespace velk {

ScrollBox::ScrollBox(QWidget* parent) : QScrollArea(parent), client_(new QWidget) {
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(false);
  setWidget(client_);
  client_->installEventFilter(this);
  SetAutoScroll(false);
}

void ScrollBox::SetAutoScroll(bool on) {
  autoScroll_ = on;
  const auto policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  setHorizontalScrollBarPolicy(policy);
  setVerticalScrollBarPolicy(policy);
  UpdateClientSize();
}

void ScrollBox::UpdateClientSize() {
  QSize size = viewport()->size();
  if (autoScroll_) {
    QRect children;
    for (QObject* child : client_->children())
      if (auto* w = qobject_cast<QWidget*>(child); w && !w->isHidden()) children |= w->geometry();
    size = size.expandedTo(QSize(children.right() + 1, children.bottom() + 1));
  }
  if (client_->size() != size) client_->resize(size);
}

void ScrollBox::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  UpdateClientSize();
}

bool ScrollBox::eventFilter(QObject* watched, QEvent* event) {
  // A child moved, resized, shown or hidden may change the scrollable extent.
  if (watched == client_ && event->type() == QEvent::LayoutRequest) UpdateClientSize();
  return QScrollArea::eventFilter(watched, event);
}

}  // namespace velk
