#include "widgets/hint_tracker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace velk {
namespace {

constexpr char kHintProperty[] = "velkHint";

}  // namespace

QString GetShortHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(u'|');
  return bar < 0 ? hint : hint.left(bar);
}

QString GetLongHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(u'|');
  return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetHint(QWidget* widget, const QString& hint) {
  widget->setProperty(kHintProperty, hint);
  widget->setToolTip(GetShortHint(hint));
}

QString HintOf(const QWidget* widget) {
  const QVariant hint = widget->property(kHintProperty);
  return hint.isValid() ? hint.toString() : widget->toolTip();
}

QString InheritedHint(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    const QString hint = HintOf(widget);
    if (!hint.isEmpty()) return hint;
  }
  return {};
}

HintTracker::HintTracker(QObject* parent) : QObject(parent) {
  QCoreApplication::instance()->installEventFilter(this);
}

HintTracker::~HintTracker() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

bool HintTracker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
    if (auto* widget = qobject_cast<QWidget*>(watched)) {
      // Qt sends Enter from the window down to the innermost widget; leaving a child for its
      // parent sends only the child's Leave, so the parent's hint is taken then.
      if (event->type() == QEvent::Enter)
        Report(GetLongHint(InheritedHint(widget)));
      else
        Report(widget->isWindow() ? QString() : GetLongHint(InheritedHint(widget->parentWidget())));
    }
  }
  return QObject::eventFilter(watched, event);
}

void HintTracker::Report(const QString& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  emit OnHint(hint_);
}

}  // namespace velk
