#include "app/input_gate.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace velk {

namespace {
bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Close:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
      return true;
    default:
      return false;
  }
}

bool IsNavigationKey(int key) {
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      return true;
    default:
      return false;
  }
}
}  // namespace

InputGate::~InputGate() { Release(); }

void InputGate::ProcessEvents() {
  QCoreApplication::instance()->installEventFilter(this);
  QCoreApplication::processEvents();
  QCoreApplication::instance()->removeEventFilter(this);
}

void InputGate::Release() {
  std::vector<Held> held = std::move(held_);
  held_.clear();
  browsingHeld_ = false;
  for (Held& h : held)
    if (h.receiver) QCoreApplication::postEvent(h.receiver, h.event.release());
}

bool InputGate::Within(QObject* receiver, const QWidget* area) {
  if (!area || !receiver->isWidgetType()) return false;
  // Up through parents across windows: a combo box's list is a popup window of its own.
  for (const QWidget* w = static_cast<QWidget*>(receiver); w; w = w->parentWidget())
    if (w == area) return true;
  return false;
}

bool InputGate::Browses(QObject* receiver, const QEvent* event) const {
  // A click on an entry (not on a scroll bar) or a navigation key.
  if (event->type() == QEvent::MouseButtonPress) {
    const auto* view = qobject_cast<const QAbstractScrollArea*>(browsing_);
    return view && receiver == view->viewport();
  }
  return event->type() == QEvent::KeyPress && Within(receiver, browsing_) &&
         IsNavigationKey(static_cast<const QKeyEvent*>(event)->key());
}

bool InputGate::eventFilter(QObject* receiver, QEvent* event) {
  // A move with a button down drags (a list selects the entries it passes): it waits with the
  // press; plain moves (hints, hover) pass.
  const bool dragging = event->type() == QEvent::MouseMove &&
                        static_cast<const QMouseEvent*>(event)->buttons() != Qt::NoButton;
  if (!IsInput(event->type()) && !dragging) return false;
  // A box that something let through opened runs its own loop: it must be answerable (it
  // blocks input to the windows behind it anyway).
  if (QApplication::activeModalWidget()) return false;
  if (event->type() == QEvent::Close) {
    // A window's close button waits; a close() called by the program is not input.
    if (!receiver->isWindowType()) return false;
  } else {
    // Window-level input is passed on to its widget, where it is judged.
    if (receiver->isWindowType()) return false;
    for (QWidget* area : passing_)
      if (Within(receiver, area)) return false;
  }
  browsingHeld_ = browsingHeld_ || Browses(receiver, event);
  held_.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
  return true;
}

}  // namespace velk
