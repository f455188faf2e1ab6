#pragma once
// A framed group of radio buttons with one selected index. Click() is raised whenever the
// index changes, by the user or by program, as the program's option handlers rely on.
#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

namespace velk {

class TRadioGroup : public QGroupBox {
  Q_OBJECT
public:
  explicit TRadioGroup(QWidget* parent = nullptr);

  QStringList Items() const;
  // Replaces the buttons; the index becomes -1 (no Click).
  void SetItems(const QStringList& items);
  int ItemIndex() const { return index_; }
  // -1 selects nothing; an index out of range is ignored.
  void SetItemIndex(int index);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  QRadioButton* Button(int index) const;

signals:
  void Click(QObject* sender);

private:
  void ButtonToggled(int index, bool checked);

  std::vector<QRadioButton*> buttons_;
  int index_ = -1;
  int tag_ = 0;
};

}  // namespace velk
