#include "chrome/color_combo_box.h"
#include "platform/system_colors.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QStyleOptionFrame>
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

// The framework's names of the system colours, by index.
constexpr std::array<const char*, COLOR_SYSTEM_COUNT> kSystemColorNames = {
    "ScrollBar",     "Background",   "ActiveCaption",  "InactiveCaption", "Menu",
    "Window",        "WindowFrame",  "MenuText",       "WindowText",      "CaptionText",
    "ActiveBorder",  "InactiveBorder", "AppWorkSpace", "Highlight",       "HighlightText",
    "BtnFace",       "BtnShadow",    "GrayText",       "BtnText",         "InactiveCaptionText",
    "BtnHighlight",  "3DDkShadow",   "3DLight",        "InfoText",        "InfoBk",
};

// Rows the standing list of a csSimple box shows by default.
constexpr int kSimpleListRows = 8;

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
  // Typed text is read as a value, never added as an entry the box has no colour for.
  if (isEditable()) setInsertPolicy(QComboBox::NoInsert);
  if (style == TComboStyle::csSimple && !simpleList_) {
    simpleList_ = new QListView(this);
    simpleList_->setObjectName("SimpleList");
    simpleList_->setModel(model());
    simpleList_->setItemDelegate(itemDelegate());
    simpleList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    simpleList_->setUniformItemSizes(true);
    connect(simpleList_, &QListView::clicked, this, [this](const QModelIndex& index) {
      setCurrentIndex(index.row());
      emit activated(index.row());
    });
    connect(this, &QComboBox::currentIndexChanged, simpleList_,
            [this](int row) { simpleList_->setCurrentIndex(model()->index(row, 0)); });
  }
  if (simpleList_) simpleList_->setVisible(style == TComboStyle::csSimple);
  if (lineEdit()) lineEdit()->installEventFilter(this);
  LayOutSimpleList();
  updateGeometry();
  update();
}

int TOwnerDrawComboBox::ItemHeight() const { return std::max(9, fontMetrics().height() + 1); }

int TOwnerDrawComboBox::EditHeight() const { return QComboBox::sizeHint().height(); }

void TOwnerDrawComboBox::showPopup() {
  if (style_ != TComboStyle::csSimple) QComboBox::showPopup();  // its list is always shown
}

QSize TOwnerDrawComboBox::sizeHint() const {
  QSize size = QComboBox::sizeHint();
  if (style_ == TComboStyle::csSimple) size.rheight() += kSimpleListRows * ItemHeight() + 4;
  return size;
}

QSize TOwnerDrawComboBox::minimumSizeHint() const {
  QSize size = QComboBox::minimumSizeHint();
  if (style_ == TComboStyle::csSimple) size.rheight() += ItemHeight() + 4;
  return size;
}

void TOwnerDrawComboBox::LayOutSimpleList() {
  if (style_ != TComboStyle::csSimple || !lineEdit()) return;
  // The text field across the top with a small margin for its frame, the list below.
  const int edit = std::min(EditHeight(), height());
  const QRect field(3, 3, width() - 6, edit - 6);
  if (lineEdit()->geometry() != field) lineEdit()->setGeometry(field);
  simpleList_->setGeometry(0, edit, width(), std::max(0, height() - edit));
}

void TOwnerDrawComboBox::resizeEvent(QResizeEvent* event) {
  QComboBox::resizeEvent(event);
  LayOutSimpleList();
}

bool TOwnerDrawComboBox::eventFilter(QObject* watched, QEvent* event) {
  // The base class places the text field over its whole height whenever it sees fit.
  if (watched == lineEdit() && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
    LayOutSimpleList();
  return QComboBox::eventFilter(watched, event);
}

void TOwnerDrawComboBox::changeEvent(QEvent* event) {
  QComboBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) update();  // entries take the new height
}

void TOwnerDrawComboBox::paintEvent(QPaintEvent* event) {
  if (style_ == TComboStyle::csSimple) {
    // No arrow: a text field's frame above the standing list.
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, 0, width(), std::min(EditHeight(), height()));
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
    return;
  }
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
  if (IsSystemColor(color) && (color & ~kSystemColorFlag) < TColor(COLOR_SYSTEM_COUNT))
    return kSystemColorNames[color & ~kSystemColorFlag];
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
  if (Style() == TComboStyle::csDropDownList) return value_;
  // Text that still names the selected entry is that entry; anything typed over it is read.
  const QString text = currentText();
  if (currentIndex() >= 0 && itemText(currentIndex()) == text) return value_;
  for (int i = 0; i < count() && i < int(kColors.size()); ++i)
    if (itemText(i).compare(text, Qt::CaseInsensitive) == 0) return kColors[size_t(i)].value;
  for (int i = 0; i < COLOR_SYSTEM_COUNT; ++i)
    if (text.compare(kSystemColorNames[size_t(i)], Qt::CaseInsensitive) == 0)
      return kSystemColorFlag | TColor(i);
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
      // Text typed over the selected entry gives way to the entry's name.
      if (isEditable() && currentText() != itemText(found)) setEditText(itemText(found));
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
  if (index >= 0 && index < int(kColors.size())) SetColorValue(kColors[size_t(index)].value);
}

void TColorComboBox::TextEdited() {
  if (Style() == TComboStyle::csDropDownList) return;
  const TColor typed = ColorValue();
  if (typed == value_) return;
  value_ = typed;
  emit OnChange(this);
}

void TColorComboBox::DrawItem(QPainter& painter, int index, const QRect& rect, bool) {
  if (index < 0 || index >= count() || index >= int(kColors.size())) return;
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
