#include "widgets/option_box.h"

#include <QMenu>

namespace velk {

namespace {
constexpr int kArrowWidth = 12;
}

TOptionBox::TOptionBox(QWidget* parent)
    : QWidget(parent), button_(new TToolbarButton97(this)), arrow_(new TToolbarButton97(this)),
      menu_(new QMenu(this)) {
  arrow_->SetCaption(QString(QChar(0x25BE)));  // a small down-pointing triangle
  connect(button_, &QAbstractButton::clicked, this, [this] { emit OnButtonClick(button_); });
  connect(arrow_, &QAbstractButton::clicked, this, [this] { DropDown(); });
}

void TOptionBox::SetItems(const QStringList& items) {
  items_ = items;
  menu_->clear();
  for (int i = 0; i < items_.size(); ++i) {
    if (items_[i] == "-") {
      menu_->addSeparator();
      continue;
    }
    menu_->addAction(items_[i], this, [this, i] { ChooseItem(i); });
  }
}

void TOptionBox::ChooseItem(int index) {
  if (index >= 0 && index < items_.size()) emit OnItemClick(index);
}

void TOptionBox::DropDown() { menu_->popup(mapToGlobal(QPoint(0, height()))); }

void TOptionBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  button_->setGeometry(0, 0, width() - kArrowWidth, height());
  arrow_->setGeometry(width() - kArrowWidth, 0, kArrowWidth, height());
}

}  // namespace velk
