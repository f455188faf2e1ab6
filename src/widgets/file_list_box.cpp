#include "widgets/file_list_box.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <algorithm>

#include "widgets/directory_list_box.h"
#include "widgets/file_mask.h"
#include "widgets/folder_path.h"

namespace velk {

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);  // keeps huge folders quick to lay out
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TFileListBox::SelectionChanged);
  directory_ = QDir::currentPath().toStdString();
  Reread();
}

void TFileListBox::SetDirectory(const std::string& path) {
  const QString folder =
      ResolveFolder(QString::fromStdString(path), QString::fromStdString(directory_));
  if (folder.toStdString() == directory_) return;
  directory_ = folder.toStdString();
  Reread();
}

void TFileListBox::SetMask(const std::string& mask) {
  if (mask == mask_) return;
  mask_ = mask;
  Reread();
}

void TFileListBox::Reread() {
  QStringList names;
  {
    const FileMask mask(QString::fromStdString(mask_));
    const QDir dir(QString::fromStdString(directory_));
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort))
      if (mask.Matches(name)) names.append(name);
  }
  std::sort(names.begin(), names.end(), NameLess);

  // The list's own selection signals are not changes of ours while it is rebuilt.
  rereading_ = true;
  clear();
  addItems(names);
  rereading_ = false;
  names_.clear();
  names_.reserve(names.size());
  for (const QString& name : names) names_.push_back(name.toStdString());
  index_ = -1;
  emit OnChange(this);
}

void TFileListBox::SetItemIndex(int index) {
  if (index < 0 || index >= count()) {
    selectionModel()->clear();
  } else {
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  }
}

std::string TFileListBox::FileName() const {
  if (index_ < 0) return {};
  return JoinPath(QString::fromStdString(directory_), QString::fromStdString(names_[index_]))
      .toStdString();
}

void TFileListBox::SetFileName(const std::string& path) {
  const QString text = QString::fromStdString(path);
  if (text.isEmpty()) return;
  const qsizetype slash = text.lastIndexOf(u'/');
  const QString name = text.mid(slash + 1);
  if (slash >= 0) {
    const QString folderPart = slash == 0 ? QStringLiteral("/") : text.left(slash);
    const QString folder = ResolveFolder(folderPart, QString::fromStdString(directory_));
    if (folder.toStdString() != directory_) {
      if (dirList_)
        dirList_->SetDirectory(folder.toStdString());
      else
        SetDirectory(folder.toStdString());
    }
  }
  if (name.isEmpty()) return;
  if (name.contains(u'*') || name.contains(u'?')) {
    SetMask(name.toStdString());
    return;
  }
  int index = FindName(name);
  if (index < 0 && QFileInfo(JoinPath(QString::fromStdString(directory_), name)).isFile()) {
    SetMask(name.toStdString());
    index = FindName(name);
  }
  SetItemIndex(index);
}

int TFileListBox::FindName(const QString& name) const {
  const std::string exact = name.toStdString();
  for (size_t i = 0; i < names_.size(); ++i)
    if (names_[i] == exact) return static_cast<int>(i);
  for (size_t i = 0; i < names_.size(); ++i)
    if (QString::fromStdString(names_[i]).compare(name, Qt::CaseInsensitive) == 0)
      return static_cast<int>(i);
  return -1;
}

void TFileListBox::SelectionChanged() {
  if (rereading_) return;
  const QModelIndexList rows = selectionModel()->selectedRows();
  const int index = rows.isEmpty() ? -1 : rows.first().row();
  if (index == index_) return;
  index_ = index;
  emit OnChange(this);
}

QItemSelectionModel::SelectionFlags TFileListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  // Like the framework's single-selection list: a ctrl-click never leaves nothing selected.
  QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
  if (index.isValid() && (flags & QItemSelectionModel::Deselect))
    return QItemSelectionModel::ClearAndSelect;
  return flags;
}

void TFileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListWidget::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit OnDblClick(this);
}

}  // namespace velk
