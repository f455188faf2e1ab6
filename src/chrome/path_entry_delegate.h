#pragma once
// Draws one entry of the drive box: indent, small icon, display name, highlight and focus.
#include <QAbstractItemDelegate>

namespace velk {

// Model roles of a drive-box entry (Qt::DisplayRole holds its path, DecorationRole its icon).
inline constexpr int kEntryNumberRole = Qt::UserRole;
inline constexpr int kEntryNameRole = Qt::UserRole + 1;

// Paints entry index into rect; indented in the list, not in the closed box's field.
void DrawPathEntry(QPainter& painter, QRect rect, const QModelIndex& index, const QPalette& palette,
                   bool selected, bool focused, bool indent, const QWidget* widget);

class PathEntryDelegate : public QAbstractItemDelegate {
public:
  PathEntryDelegate(const int* itemHeight, QObject* parent)
      : QAbstractItemDelegate(parent), itemHeight_(itemHeight) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  const int* itemHeight_;
};

}  // namespace velk
