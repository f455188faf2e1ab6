#include "widgets/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "widgets/hint_tracker.h"

namespace velk {

namespace {

constexpr const char* kNamedByHint = "velkNamedByHint";

bool TakesInput(const QWidget* widget) {
  return qobject_cast<const QAbstractButton*>(widget) ||
         qobject_cast<const QComboBox*>(widget) ||
         qobject_cast<const QAbstractSlider*>(widget) ||
         qobject_cast<const QAbstractSpinBox*>(widget) ||
         qobject_cast<const QLineEdit*>(widget) ||
         qobject_cast<const QAbstractItemView*>(widget);
}

bool HasLabel(const QWidget* widget) {
  if (!widget->parentWidget()) return false;
  for (const QLabel* label : widget->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (label->buddy() == widget) return true;
  return false;
}

}  // namespace

void NameControlsByHints(QWidget* root) {
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    if (!TakesInput(widget) || HasLabel(widget)) continue;
    // Scroll bars and the line edits inside boxes belong to their box.
    if (qobject_cast<QComboBox*>(widget->parentWidget()) ||
        qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
      continue;
    if (!widget->accessibleName().isEmpty() && !widget->property(kNamedByHint).toBool()) continue;
    const QString hint = GetShortHint(HintOf(widget));
    if (hint.isEmpty()) continue;
    widget->setAccessibleName(hint);
    widget->setProperty(kNamedByHint, true);
  }
}

}  // namespace velk
