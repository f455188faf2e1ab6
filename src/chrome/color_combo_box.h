#pragma once
// Picks a colour from the sixteen basic ones. Entries are owner-drawn as a framed sample next
// to the colour's name, and the value read and written is the colour itself.
#include <QComboBox>
#include <QStringList>

#include "platform/color.h"

class QListView;

namespace velk {

enum class TComboStyle { csDropDown, csSimple, csDropDownList };

// A combo box that draws its own entries at a fixed height: the font's height plus 1, at
// least 9. Editable styles never add typed text as an entry; csSimple shows its list below
// the text at all times instead of dropping it down.
class TOwnerDrawComboBox : public QComboBox {
  Q_OBJECT
public:
  explicit TOwnerDrawComboBox(QWidget* parent = nullptr);
  TComboStyle Style() const { return style_; }
  void SetStyle(TComboStyle style);
  int ItemHeight() const;

  void showPopup() override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Draws entry index into rect; selected tells the state the brush is for.
  virtual void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) = 0;

private:
  friend class OwnerDrawDelegate;
  // The text field's height and the place of the standing list (csSimple).
  int EditHeight() const;
  void LayOutSimpleList();

  TComboStyle style_ = TComboStyle::csDropDownList;
  QListView* simpleList_ = nullptr;
};

class TColorComboBox : public TOwnerDrawComboBox {
  Q_OBJECT
public:
  explicit TColorComboBox(QWidget* parent = nullptr);

  // Reading: the stored value, or for an editable box whose text does not name the selected
  // entry the text as a colour name or number ("$" hexadecimal or decimal).
  TColor ColorValue() const;
  void SetColorValue(TColor value);
  const QStringList& ColorNames() const { return names_; }
  void SetColorNames(const QStringList& names);
  bool DisplayNames() const { return displayNames_; }
  void SetDisplayNames(bool display);

  // "Black" ... "White" for the 16 colours, the system colours' names ("BtnFace"), "$%.8x"
  // for any other.
  static QString ColorText(TColor color);
  static TColor StandardColor(int index);

signals:
  void OnChange(QObject* sender);

protected:
  void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) override;

private:
  void FillList();
  void EntryPicked(int index);
  void TextEdited();

  TColor value_ = 0;
  QStringList names_;
  bool displayNames_ = true;
};

}  // namespace velk
