#include "options/dialog_fit.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace velk {

namespace {

constexpr const char* kDesignPlace = "velkDesignPlace";
constexpr double kMostGrowth = 3;

// A control the dialog places itself: a named child of the dialog, a page, a group or a plain
// container, none of which lays its children out. Parts of composite controls are left alone.
bool Placed(const QWidget& dialog, const QWidget& widget) {
  const QWidget* parent = widget.parentWidget();
  if (!parent || widget.isWindow() || parent->layout()) return false;
  if (widget.objectName().isEmpty() || widget.objectName().startsWith("qt_")) return false;
  const QMetaObject* kind = parent->metaObject();
  return parent == &dialog || kind == &QWidget::staticMetaObject ||
         kind == &QFrame::staticMetaObject || kind == &QGroupBox::staticMetaObject;
}

// The width the control's text needs at its font; 0 when it has no text that could be cut.
int NeededWidth(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget))
    return label->wordWrap() || label->text().isEmpty() ? 0 : label->sizeHint().width();
  if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
    // Its text with the style's margins: the style's least width for any button is no cut.
    const QStyle* style = button->style();
    const int margins = 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                             style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
    return button->fontMetrics().horizontalAdvance(button->text()) + margins;
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
    return button->text().isEmpty() ? 0 : button->sizeHint().width();
  if (qobject_cast<const QGroupBox*>(&widget)) return widget.minimumSizeHint().width();
  return 0;
}

// The height a line of the control's text needs; 0 for controls without one.
int NeededHeight(const QWidget& widget) {
  if (qobject_cast<const QLabel*>(&widget) || qobject_cast<const QAbstractButton*>(&widget) ||
      qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QComboBox*>(&widget) ||
      qobject_cast<const QAbstractSpinBox*>(&widget))
    return widget.fontMetrics().height();
  return 0;
}

QRect Scaled(const QRect& place, double across, double down) {
  return QRect(qRound(place.x() * across), qRound(place.y() * down),
               qRound(place.width() * across), qRound(place.height() * down));
}

}  // namespace

void FitToTexts(QWidget& dialog, QSize designSize) {
  std::vector<std::pair<QWidget*, QRect>> placed;
  double across = 1, down = 1;
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    if (!Placed(dialog, *widget)) continue;
    QVariant design = widget->property(kDesignPlace);
    if (!design.isValid()) {
      design = widget->geometry();
      widget->setProperty(kDesignPlace, design);
    }
    const QRect place = design.toRect();
    placed.emplace_back(widget, place);
    if (const int width = NeededWidth(*widget); width > 0 && place.width() > 0)
      across = std::max(across, double(width) / place.width());
    if (const int height = NeededHeight(*widget); height > 0 && place.height() > 0)
      down = std::max(down, double(height) / place.height());
  }
  // A font that grew across grew down as much.
  down = std::max(down, across);
  across = std::min(across, kMostGrowth);
  down = std::min(down, kMostGrowth);
  for (const auto& [widget, place] : placed) widget->setGeometry(Scaled(place, across, down));
  dialog.setFixedSize(Scaled(QRect(QPoint(), designSize), across, down).size());
}

}  // namespace velk
