#include "widgets/file_list_box.h"

#include <QAbstractListModel>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <algorithm>
#include <functional>

#include "widgets/directory_list_box.h"
#include "widgets/file_mask.h"
#include "widgets/folder_listing.h"
#include "widgets/folder_path.h"
#include "widgets/folder_reader.h"
#include "widgets/folder_watch.h"

namespace velk {

// The names as rows, without an item object per file.
class FileListModel : public QAbstractListModel {
public:
  using QAbstractListModel::QAbstractListModel;

  const std::vector<std::string>& Names() const { return names_; }
  void Reset(std::vector<std::string> names) {
    beginResetModel();
    names_ = std::move(names);
    endResetModel();
  }
  void Insert(int row, const std::string& name) {
    beginInsertRows({}, row, row);
    names_.insert(names_.begin() + row, name);
    endInsertRows();
  }
  void Remove(int row) {
    beginRemoveRows({}, row, row);
    names_.erase(names_.begin() + row);
    endRemoveRows();
  }

  // Names are edited in place; what is typed goes to the list, which asks for the rename.
  std::function<void(int row, const QString& name)> onEdited;
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role == Qt::EditRole && index.isValid() && onEdited)
      onEdited(index.row(), value.toString());
    return false;  // the entry changes when the file does
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(names_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid() ||
        size_t(index.row()) >= names_.size())
      return {};
    return QString::fromStdString(names_[size_t(index.row())]);
  }

private:
  std::vector<std::string> names_;
};

namespace {

// More changed names than this at once are read afresh rather than moved in row by row.
constexpr size_t kRowByRow = 64;

}  // namespace

TFileListBox::TFileListBox(QWidget* parent)
    : QListView(parent),
      model_(new FileListModel(this)),
      listing_(std::make_unique<FolderListing>([this] { Settle(); })),
      watch_(std::make_unique<FolderWatch>(
          [this](const FolderChanges& changes) { FolderChanged(changes); })) {
  setModel(model_);
  model_->onEdited = [this](int row, const QString& name) {
    const std::string path = EntryPath(row);
    if (!path.empty() && name.toStdString() != model_->Names()[size_t(row)])
      emit OnRenameAsked(path, name.toStdString());
  };
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);  // keeps huge folders quick to lay out
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TFileListBox::SelectionChanged);
  directory_ = QDir::currentPath().toStdString();
  StartReading();
}

TFileListBox::~TFileListBox() = default;

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
  StartReading();
  index_ = -1;
  emit OnChange(this);
}

void TFileListBox::SetFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  const std::string folder =
      QFileInfo(QString::fromStdString(paths.front())).absolutePath().toStdString();
  if (folder != directory_) {
    if (dirList_) dirList_->SetDirectory(folder);
    else SetDirectory(folder);
  }
  Settle();
  std::vector<std::string> names;
  for (const std::string& path : paths)
    names.push_back(
        EntryName(QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString()));
  watch_->Watch({});  // the folder's changes are not this list's
  givenFiles_ = true;
  const QScopedValueRollback quiet(quiet_, true);
  model_->Reset(std::move(names));
  index_ = -1;
}

int TFileListBox::FolderIndex() {
  if (!givenFiles_ || index_ < 0) return index_;
  const std::string name = model_->Names()[size_t(index_)];
  const std::vector<std::string> names =
      ListFiles(directory_, FileMask(QString::fromStdString(mask_)));
  const auto found = std::find(names.begin(), names.end(), name);
  return found == names.end() ? -1 : int(found - names.begin());
}

void TFileListBox::EntryChanged(const std::string& path) {
  FolderChanges changes;
  changes.names = {EntryName(path)};
  FolderChanged(changes);
}

void TFileListBox::EntryRenamed(const std::string& from, const std::string& to) {
  FolderChanges changes;
  changes.names = {EntryName(from), EntryName(to)};
  changes.renames = {{EntryName(from), EntryName(to)}};
  FolderChanged(changes);
}

void TFileListBox::EditSelectedName() {
  if (index_ < 0) return;
  const QModelIndex entry = model_->index(index_);
  edit(entry);
  // The name part selected: the extension is seldom what changes.
  if (auto* line = qobject_cast<QLineEdit*>(indexWidget(entry))) {
    const qsizetype dot = line->text().lastIndexOf(u'.');
    line->setSelection(0, dot > 0 ? dot : line->text().size());
  }
}

void TFileListBox::StartReading() {
  givenFiles_ = false;
  {
    const QScopedValueRollback quiet(quiet_, true);
    model_->Reset({});
  }
  // Watched first, so that no change between the reading and the watch is missed.
  watch_->Watch(directory_);
  listing_->Start(directory_, mask_);
}

void TFileListBox::Settle() {
  if (!listing_->Pending()) return;
  std::vector<std::string> names = listing_->Take();
  const QScopedValueRollback quiet(quiet_, true);
  model_->Reset(std::move(names));
}

const std::vector<std::string>& TFileListBox::Items() {
  Settle();
  return model_->Names();
}

void TFileListBox::SetItemIndex(int index) {
  Settle();
  if (index < 0 || index >= model_->rowCount({})) {
    selectionModel()->clear();
  } else {
    selectionModel()->setCurrentIndex(model_->index(index),
                                      QItemSelectionModel::ClearAndSelect);
  }
}

std::string TFileListBox::PathOf(const std::string& name) const {
  if (name.starts_with('/')) return name;
  return JoinPath(QString::fromStdString(directory_), QString::fromStdString(name)).toStdString();
}

std::string TFileListBox::EntryName(const std::string& path) const {
  const QFileInfo file(QString::fromStdString(path));
  return file.absolutePath().toStdString() == directory_ ? file.fileName().toStdString() : path;
}

std::string TFileListBox::FileName() const {
  return index_ < 0 ? std::string() : PathOf(model_->Names()[size_t(index_)]);
}

std::string TFileListBox::EntryPath(int index) {
  const std::vector<std::string>& names = Items();
  if (index < 0 || size_t(index) >= names.size()) return {};
  return PathOf(names[size_t(index)]);
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
  int index = FindName(name.toStdString());
  if (index < 0 && QFileInfo(JoinPath(QString::fromStdString(directory_), name)).isFile()) {
    SetMask(name.toStdString());
    index = FindName(name.toStdString());
  }
  SetItemIndex(index);
}

int TFileListBox::FindName(const std::string& name) {
  Settle();
  if (const int row = Row(name); row >= 0) return row;
  const QString wanted = QString::fromStdString(name);
  const std::vector<std::string>& names = model_->Names();
  for (size_t i = 0; i < names.size(); ++i)
    if (QString::fromStdString(names[i]).compare(wanted, Qt::CaseInsensitive) == 0)
      return static_cast<int>(i);
  return -1;
}

int TFileListBox::Place(const std::string& name) const {
  const std::vector<std::string>& names = model_->Names();
  return static_cast<int>(std::lower_bound(names.begin(), names.end(), name, NameLess) -
                          names.begin());
}

int TFileListBox::Row(const std::string& name) const {
  if (givenFiles_) {  // in the order given, not sorted
    const std::vector<std::string>& names = model_->Names();
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
  }
  const int row = Place(name);
  return size_t(row) < model_->Names().size() && model_->Names()[size_t(row)] == name ? row : -1;
}

void TFileListBox::FolderChanged(const FolderChanges& changes) {
  Settle();
  const std::vector<std::string>& names = model_->Names();
  const std::string selected = index_ >= 0 ? names[size_t(index_)] : std::string();
  std::string now = selected;
  for (const auto& [from, to] : changes.renames)
    if (from == now) now = to;
  const QModelIndex top = indexAt(QPoint(0, 0));
  const std::string topName = top.isValid() ? names[size_t(top.row())] : std::string();

  const FileMask mask(QString::fromStdString(mask_));
  {
    const QScopedValueRollback quiet(quiet_, true);
    if (changes.everything || changes.names.size() > kRowByRow) {
      model_->Reset(ListFiles(directory_, mask));
    } else {
      for (const std::string& name : changes.names) {
        const bool listed = mask.Matches(QString::fromStdString(name)) &&
                            IsEntry(directory_, name, EntryKind::Files);
        const int row = Row(name);
        if (listed && row < 0) model_->Insert(Place(name), name);
        if (!listed && row >= 0) model_->Remove(row);
      }
    }
  }
  // What the user looked at stays in view.
  const int rows = model_->rowCount({});
  if (!topName.empty() && rows > 0)
    scrollTo(model_->index(std::min(Place(topName), rows - 1)), PositionAtTop);
  KeepSelection(selected, now);
}

void TFileListBox::KeepSelection(const std::string& selected, const std::string& now) {
  if (selected.empty()) return;
  if (const int row = Row(now); row >= 0) {
    SelectRow(row);
    if (now != selected) emit OnSelectedRenamed(PathOf(selected), PathOf(now));
    return;
  }
  // The shown file went (deleted in a file manager, say): the next one takes its place, as a
  // step forward would show it; the one before it when it was the last.
  SelectRow(std::min(Place(selected), model_->rowCount({}) - 1));
  emit OnChange(this);
}

void TFileListBox::SelectRow(int row) {
  const QScopedValueRollback quiet(quiet_, true);
  if (row < 0)
    selectionModel()->clear();
  else
    selectionModel()->setCurrentIndex(model_->index(row), QItemSelectionModel::ClearAndSelect);
  index_ = row;
}

void TFileListBox::SelectionChanged() {
  if (quiet_) return;
  const QModelIndexList rows = selectionModel()->selectedRows();
  const int index = rows.isEmpty() ? -1 : rows.first().row();
  if (index == index_) return;
  index_ = index;
  emit OnChange(this);
}

QItemSelectionModel::SelectionFlags TFileListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  // Like the framework's single-selection list: a ctrl-click never leaves nothing selected.
  QItemSelectionModel::SelectionFlags flags = QListView::selectionCommand(index, event);
  if (index.isValid() && (flags & QItemSelectionModel::Deselect))
    return QItemSelectionModel::ClearAndSelect;
  return flags;
}

void TFileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit OnDblClick(this);
}

}  // namespace velk
