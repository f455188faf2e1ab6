#include "chrome/color_combo_box.h"
#include "platform/system_colors.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <array>

namespace velk {

namespace {

struct NamedColor {
  const char* name;
  TColor value;
};

constexpr std::array<NamedColor, 16> kColors = {{
    {"Black", 0x000000}, {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},  {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},   {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
}};

}  // namespace

// Hands the drawing of every entry, in the box and in its list, to the box.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
  explicit OwnerDrawDelegate(TOwnerDrawComboBox* box) : QStyledItemDelegate(box), box_(box) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setBrush(option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    box_->DrawItem(*painter, index.row(), option.rect, selected);
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), box_->ItemHeight());
  }

private:
  TOwnerDrawComboBox* box_;
};

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget* parent) : QComboBox(parent) {
  setItemDelegate(new OwnerDrawDelegate(this));
}

void TOwnerDrawComboBox::SetStyle(TComboStyle style) {
  style_ = style;
  setEditable(style != TComboStyle::csDropDownList);
}

int TOwnerDrawComboBox::ItemHeight() const { return std::max(9, fontMetrics().height() + 1); }

void TOwnerDrawComboBox::changeEvent(QEvent* event) {
  QComboBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) update();  // entries take the new height
}

void TOwnerDrawComboBox::paintEvent(QPaintEvent* event) {
  if (isEditable()) {
    QComboBox::paintEvent(event);
    return;
  }
  // The frame and arrow from the style, the selected entry drawn like the list's entries.
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  if (currentIndex() < 0) return;
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                              QStyle::SC_ComboBoxEditField, this);
  painter.setBrush(palette().brush(QPalette::Base));
  painter.setPen(palette().color(QPalette::Text));
  DrawItem(painter, currentIndex(), field, false);
}

TColorComboBox::TColorComboBox(QWidget* parent) : TOwnerDrawComboBox(parent) {
  FillList();
  SetColorValue(value_);
  connect(this, &QComboBox::activated, this, &TColorComboBox::EntryPicked);
  connect(this, &QComboBox::editTextChanged, this, [this] { TextEdited(); });
}

TColor TColorComboBox::StandardColor(int index) {
  return index >= 0 && index < int(kColors.size()) ? kColors[size_t(index)].value : 0;
}

QString TColorComboBox::ColorText(TColor color) {
  for (const NamedColor& c : kColors)
    if (c.value == color) return c.name;
  return QString("$%1").arg(color, 8, 16, QChar('0'));
}

void TColorComboBox::FillList() {
  const QSignalBlocker quiet(this);
  clear();
  for (int i = 0; i < int(kColors.size()); ++i) {
    const bool renamed = i < names_.size() && !names_[i].isEmpty();
    addItem(renamed ? names_[i] : QString(kColors[size_t(i)].name));
  }
  setCurrentIndex(-1);
}

TColor TColorComboBox::ColorValue() const {
  if (Style() == TComboStyle::csDropDownList || currentIndex() >= 0) return value_;
  const QString text = currentText();
  for (int i = 0; i < count(); ++i)
    if (itemText(i).compare(text, Qt::CaseInsensitive) == 0) return kColors[size_t(i)].value;
  bool ok = false;
  const TColor number = text.startsWith('$') ? text.mid(1).toUInt(&ok, 16) : text.toUInt(&ok, 10);
  return ok ? number : value_;
}

void TColorComboBox::SetColorValue(TColor value) {
  if (currentIndex() >= 0 && value == value_) return;
  value_ = value;
  int found = -1;
  for (int i = 0; i < int(kColors.size()) && found < 0; ++i)
    if (kColors[size_t(i)].value == value) found = i;
  {
    const QSignalBlocker quiet(this);
    if (found >= 0) {
      if (currentIndex() != found) setCurrentIndex(found);
    } else if (Style() == TComboStyle::csDropDownList) {
      setCurrentIndex(-1);
    } else {
      setCurrentIndex(-1);
      setEditText(ColorText(value));
    }
  }
  emit OnChange(this);
}

void TColorComboBox::SetColorNames(const QStringList& names) {
  const TColor keep = ColorValue();
  names_ = names;
  FillList();
  value_ = ~keep;  // force the reselection below
  SetColorValue(keep);
}

void TColorComboBox::SetDisplayNames(bool display) {
  if (displayNames_ == display) return;
  displayNames_ = display;
  update();
}

void TColorComboBox::EntryPicked(int index) {
  if (index >= 0) SetColorValue(kColors[size_t(index)].value);
}

void TColorComboBox::TextEdited() {
  if (Style() == TComboStyle::csDropDownList) return;
  const TColor typed = ColorValue();
  if (typed == value_) return;
  value_ = typed;
  emit OnChange(this);
}

void TColorComboBox::DrawItem(QPainter& painter, int index, const QRect& rect, bool) {
  if (index < 0 || index >= count()) return;
  const QRect swatch(QPoint(rect.left() + 2, rect.top() + 2),
                     QPoint(displayNames_ ? rect.left() + 24 : rect.right() - 3, rect.bottom() - 2));
  const QBrush brush = painter.brush();
  const QPen textPen = painter.pen();
  painter.fillRect(rect, brush);
  painter.setPen(QPen(ToQColor(clWindowText), 1));
  painter.drawRect(swatch.adjusted(0, 0, -1, -1));
  painter.fillRect(swatch.adjusted(1, 1, -1, -1), ToQColor(kColors[size_t(index)].value));
  if (displayNames_) {
    painter.setPen(textPen);
    painter.drawText(rect.adjusted(28, 0, 0, 0), Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
  }
}

}  // namespace velk
