#include "widgets/directory_list_box.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "widgets/file_list_box.h"
#include "widgets/folder_path.h"
#include "widgets/folder_reader.h"

namespace velk {
namespace {

constexpr int kIndent = 10;

// Shifts each entry right by its level, so the path reads as a tree.
class IndentDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(option.rect.left() + Indent(index));
    QStyledItemDelegate::paint(painter, shifted, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
  }

private:
  static int Indent(const QModelIndex& index) {
    return index.data(TDirectoryListBox::LevelRole).toInt() * kIndent;
  }
};

}  // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setItemDelegate(new IndentDelegate(this));
  directory_ = QDir::cleanPath(QDir::currentPath()).toStdString();
  Reread();
}

TDirectoryListBox::~TDirectoryListBox() {
  if (fileList_ && fileList_->dirList_ == this) fileList_->dirList_ = nullptr;
}

void TDirectoryListBox::SetDirectory(const std::string& path) {
  const QString folder =
      ResolveFolder(QString::fromStdString(path), QString::fromStdString(directory_));
  if (folder.toStdString() == directory_) return;
  directory_ = folder.toStdString();
  // The file list first: it reads off the window's thread while the subfolders are read here.
  if (fileList_) fileList_->SetDirectory(directory_);
  Reread();
  emit OnChange(this);
}

void TDirectoryListBox::Reread() {
  const QString current = QString::fromStdString(directory_);
  const QStringList parts = current.split(u'/', Qt::SkipEmptyParts);
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

  clear();
  auto add = [this](const QIcon& icon, const QString& text, const QString& path, int level) {
    auto* item = new QListWidgetItem(icon, text, this);
    item->setData(PathRole, path);
    item->setData(LevelRole, level);
  };
  add(open, QStringLiteral("/"), QStringLiteral("/"), 0);
  QString path;
  for (int i = 0; i < parts.size(); ++i) {
    path += u'/' + parts[i];
    add(open, parts[i], path, i + 1);
  }
  const int currentRow = count() - 1;

  // Straight from the directory stream: a folder of many files costs no stat per file.
  std::vector<std::string> subfolders = ReadFolder(directory_, EntryKind::Folders);
  SortNames(subfolders);
  for (const std::string& name : subfolders) {
    const QString text = QString::fromStdString(name);
    add(closed, text, JoinPath(current, text), static_cast<int>(parts.size()) + 1);
  }

  setCurrentRow(currentRow);
  scrollToItem(item(currentRow));
}

void TDirectoryListBox::OpenItem(int index) {
  if (index < 0 || index >= count()) return;
  SetDirectory(ItemPath(index));
}

std::string TDirectoryListBox::ItemPath(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry ? entry->data(PathRole).toString().toStdString() : std::string();
}

void TDirectoryListBox::SetFileList(TFileListBox* list) {
  if (fileList_ && fileList_->dirList_ == this) fileList_->dirList_ = nullptr;
  fileList_ = list;
  if (!list) return;
  list->dirList_ = this;
  list->SetDirectory(directory_);
}

void TDirectoryListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListWidget::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) OpenItem(index.row());
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    OpenItem(currentRow());
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

}  // namespace velk
