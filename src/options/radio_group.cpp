#include "options/radio_group.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace velk {

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(2);
}

QStringList TRadioGroup::Items() const {
  QStringList items;
  for (auto* button : buttons_) items << button->text();
  return items;
}

void TRadioGroup::SetItems(const QStringList& items) {
  for (auto* button : buttons_) delete button;
  buttons_.clear();
  index_ = -1;
  for (int i = 0; i < items.size(); ++i) {
    // No QButtonGroup: the buttons share this parent, which makes them exclusive already.
    auto* button = new QRadioButton(items[i], this);
    layout()->addWidget(button);
    connect(button, &QRadioButton::toggled, this,
            [this, i](bool checked) { ButtonToggled(i, checked); });
    buttons_.push_back(button);
  }
  static_cast<QVBoxLayout*>(layout())->addStretch();
}

QRadioButton* TRadioGroup::Button(int index) const {
  return index >= 0 && index < static_cast<int>(buttons_.size()) ? buttons_[index] : nullptr;
}

void TRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(buttons_.size()) || index == index_) return;
  index_ = index;  // set first, so the toggles below see no change of their own
  if (index >= 0) {
    buttons_[index]->setChecked(true);
  } else {
    for (auto* button : buttons_) {
      button->setAutoExclusive(false);
      button->setChecked(false);
      button->setAutoExclusive(true);
    }
  }
  emit Click(this);
}

void TRadioGroup::ButtonToggled(int index, bool checked) {
  if (!checked || index == index_) return;
  index_ = index;
  emit Click(this);
}

}  // namespace velk
