#include "chrome/path_entry_delegate.h"

#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace velk {
namespace {

constexpr int kIconSize = 16;
constexpr int kIndentPerLevel = 10;

}  // namespace

void DrawPathEntry(QPainter& painter, QRect rect, const QModelIndex& index, const QPalette& palette,
                   bool selected, bool focused, bool indent, const QWidget* widget) {
  if (index.isValid()) {
    if (indent) rect.setLeft(rect.left() + kIndentPerLevel * (index.data(kEntryNumberRole).toInt() / 4));
    painter.fillRect(rect, palette.color(QPalette::Base));
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    icon.paint(&painter, QRect(rect.left() + 2, rect.top(), kIconSize, kIconSize));
    rect.setLeft(rect.left() + kIconSize + 4);

    const QString name = index.data(kEntryNameRole).toString();
    QColor textColor = palette.color(QPalette::Text);
    if (selected) {
      rect.setRight(rect.left() + painter.fontMetrics().horizontalAdvance(name) + 4 - 1);
      painter.fillRect(rect, palette.color(QPalette::Highlight));
      textColor = palette.color(QPalette::HighlightedText);
    }
    painter.setPen(textColor);
    painter.drawText(QRect(rect.left() + 2, rect.top(), rect.width() + 1000, rect.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, name);
  } else {
    painter.fillRect(rect, palette.color(QPalette::Base));
  }
  if (focused && widget) {
    QStyleOptionFocusRect focus;
    focus.initFrom(widget);
    focus.rect = rect;
    focus.backgroundColor = palette.color(selected ? QPalette::Highlight : QPalette::Base);
    widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
  }
}

void PathEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  painter->save();
  painter->setClipRect(option.rect);
  painter->setFont(option.font);
  DrawPathEntry(*painter, option.rect, index, option.palette, option.state & QStyle::State_Selected,
                option.state & QStyle::State_HasFocus, true, option.widget);
  painter->restore();
}

QSize PathEntryDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const int indent = kIndentPerLevel * (index.data(kEntryNumberRole).toInt() / 4);
  const int text = option.fontMetrics.horizontalAdvance(index.data(kEntryNameRole).toString());
  return QSize(indent + kIconSize + 4 + text + 6, *itemHeight_);
}

}  // namespace velk
