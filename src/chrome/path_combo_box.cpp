#include "chrome/path_combo_box.h"

#include <QAbstractItemView>
#include <QDir>
#include <QKeyEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

#include "chrome/path_entry_delegate.h"
#include "chrome/xdg_folders.h"

namespace velk {
namespace {

constexpr int kDriveNumber = 8;

bool IsTakeKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

TPathComboBox::TPathComboBox(QWidget* parent, DriveList drives)
    : QComboBox(parent),
      drives_(drives ? drives() : std::vector<std::string>{}),
      desktopItem_(DesktopShellItem()),
      computerItem_(ComputerShellItem()) {
  for (std::string& root : drives_)
    if (root.empty() || root.back() != '/') root += '/';
  const std::string desktop = DesktopFolder();
  desktopPath_ = desktop.empty() ? desktop : (desktop == "/" ? desktop : desktop + "/");
  path_ = QDir::currentPath().toStdString();
  if (path_.empty() || path_.back() != '/') path_ += '/';

  setItemDelegate(new PathEntryDelegate(&itemHeight_, this));
  setIconSize(QSize(16, 16));
  view()->installEventFilter(this);
  // activated is the user's choice only; setting the current entry by program raises nothing.
  connect(this, &QComboBox::activated, this, [this] { TakeSelection(); });
  UpdateItemHeight();
  resize(230, sizeHint().height());
  RebuildList();
}

std::string TPathComboBox::EntryPath(int index) const {
  return itemText(index).toStdString();
}

int TPathComboBox::EntryNumber(int index) const { return itemData(index, kEntryNumberRole).toInt(); }

void TPathComboBox::SetPath(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  // File names differ by case here, so the comparison does too.
  if (path == path_) return;
  path_ = path;
  RebuildList();
  emit OnChange(this);
}

void TPathComboBox::AddEntry(const std::string& path, int number) {
  const int level = number / 4;
  ShellItem item;
  if (count() == 0) item = desktopItem_;
  else if (count() == 1) item = computerItem_;
  else if (level == 2) item = DriveShellItem(path);
  else item = FolderShellItem(path, number & 1);
  addItem(item.icon, QString::fromStdString(path));
  setItemData(count() - 1, number, kEntryNumberRole);
  setItemData(count() - 1, item.name, kEntryNameRole);
}

void TPathComboBox::RebuildList() {
  const QSignalBlocker quiet(this);
  clear();
  AddEntry(desktopPath_, 0);
  AddEntry("", 4);

  if (path_.empty() || path_ == desktopPath_) {
    for (const std::string& root : drives_) AddEntry(root, kDriveNumber);
    setCurrentIndex(path_.empty() ? 1 : 0);
    return;
  }
  const std::string drive = DriveOfPath(drives_, path_);
  if (drive.empty()) {
    setCurrentIndex(-1);
    return;
  }
  auto next = drives_.begin();
  for (; next != drives_.end(); ++next) {
    AddEntry(*next, kDriveNumber);
    if (*next == drive) { ++next; break; }
  }
  int selected = count() - 1;  // a drive root selects the drive itself
  int level = 3;
  for (size_t slash = path_.find('/', drive.size()); slash != std::string::npos;
       slash = path_.find('/', slash + 1), ++level) {
    const bool current = slash + 1 == path_.size();
    AddEntry(path_.substr(0, slash + 1), level * 4 + (current ? 1 : 0));
    if (current) selected = count() - 1;
  }
  for (; next != drives_.end(); ++next) AddEntry(*next, kDriveNumber);
  setCurrentIndex(selected);
}

void TPathComboBox::TakeSelection() {
  const int index = currentIndex();
  if (index < 0 || view()->isVisible()) return;
  const std::string chosen = EntryPath(index);
  if (chosen != path_) SetPath(chosen);
}

bool TPathComboBox::eventFilter(QObject* watched, QEvent* event) {
  // Enter or Escape in the open list closes it and takes the highlighted entry.
  if (watched == view() && event->type() == QEvent::KeyPress &&
      IsTakeKey(static_cast<QKeyEvent*>(event)->key())) {
    const int highlighted = view()->currentIndex().row();
    hidePopup();
    if (highlighted >= 0) setCurrentIndex(highlighted);
    TakeSelection();
    return true;
  }
  return QComboBox::eventFilter(watched, event);
}

void TPathComboBox::keyPressEvent(QKeyEvent* event) {
  QComboBox::keyPressEvent(event);
  if (IsTakeKey(event->key())) TakeSelection();
}

void TPathComboBox::changeEvent(QEvent* event) {
  QComboBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateItemHeight();
}

void TPathComboBox::UpdateItemHeight() {
  itemHeight_ = std::max(fontMetrics().height() + 2, iconSize().height());
  view()->doItemsLayout();
}

void TPathComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  // The closed box shows the selected entry without indent, highlighted while it has focus.
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                              QStyle::SC_ComboBoxEditField, this);
  painter.setClipRect(field);
  DrawPathEntry(painter, field, model()->index(currentIndex(), 0, rootModelIndex()), palette(),
                hasFocus(), hasFocus(), false, this);
}

}  // namespace velk
