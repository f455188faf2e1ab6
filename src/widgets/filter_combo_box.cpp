#include "widgets/filter_combo_box.h"

#include <QStringList>

#include "widgets/file_list_box.h"

namespace velk {

TFilterComboBox::TFilterComboBox(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::currentIndexChanged, this, &TFilterComboBox::IndexChanged);
  connect(this, &QComboBox::activated, this, [this] { emit OnChange(this); });
  SetFilter("All files (*.*)|*.*");
}

void TFilterComboBox::SetFilter(const std::string& filter) {
  filter_ = filter;
  const QStringList parts = QString::fromStdString(filter).split(u'|');
  rebuilding_ = true;
  clear();
  masks_.clear();
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    if (parts[i].isEmpty() && i + 1 >= parts.size()) break;  // a trailing "|"
    addItem(parts[i]);
    masks_.push_back(i + 1 < parts.size() ? parts[i + 1].toStdString() : std::string());
  }
  setCurrentIndex(count() > 0 ? 0 : -1);
  rebuilding_ = false;
  IndexChanged();
}

void TFilterComboBox::SetItemIndex(int index) {
  setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

std::string TFilterComboBox::Mask() const {
  const int index = currentIndex();
  return index >= 0 && index < static_cast<int>(masks_.size()) ? masks_[index] : "*.*";
}

void TFilterComboBox::SetFileList(TFileListBox* list) {
  fileList_ = list;
  if (list) list->SetMask(Mask());
}

void TFilterComboBox::IndexChanged() {
  if (!rebuilding_ && fileList_) fileList_->SetMask(Mask());
}

}  // namespace velk
