#pragma once
// A flat toolbar button with a drop-down list beside it: a click on the button part and a
// choice from the list are separate events. An item "-" is a separator.
#include <QStringList>
#include <QWidget>

#include "widgets/toolbar_button.h"

class QMenu;

namespace velk {

class TOptionBox : public QWidget {
  Q_OBJECT
public:
  explicit TOptionBox(QWidget* parent = nullptr);

  TToolbarButton97* Button() const { return button_; }
  TToolbarButton97* Arrow() const { return arrow_; }
  const QStringList& Items() const { return items_; }
  void SetItems(const QStringList& items);
  // Chooses item index as if the user had picked it from the list.
  void ChooseItem(int index);
  // Opens the list under the box.
  void DropDown();

signals:
  void OnButtonClick(QObject* sender);
  void OnItemClick(int index);

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  TToolbarButton97* button_;
  TToolbarButton97* arrow_;
  QMenu* menu_;
  QStringList items_;
};

}  // namespace velk
