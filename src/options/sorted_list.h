#pragma once
// Entries of the Convert and Slide Show pages' sorted file lists: ordered as the desktop's
// sorted list boxes order them, without regard to case ("b.bmp" before "Photo.JPG").
#include <QListWidget>
#include <string>
#include <vector>

namespace velk {

class CaselessListItem : public QListWidgetItem {
public:
  using QListWidgetItem::QListWidgetItem;
  bool operator<(const QListWidgetItem& other) const override {
    const int order = text().compare(other.text(), Qt::CaseInsensitive);
    return order != 0 ? order < 0 : text() < other.text();  // a fixed order among case twins
  }
};

inline void AddToSortedList(QListWidget* list, const std::vector<std::string>& paths) {
  for (const std::string& path : paths)
    list->addItem(new CaselessListItem(QString::fromStdString(path)));
}

}  // namespace velk
