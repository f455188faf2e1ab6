#include "image/loupe_form.h"

#include <QAction>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <array>

#include "image/loupe.h"

namespace velk {

namespace {
constexpr int kSpeedItems = 6;
constexpr int kFreezeTag = 6;
constexpr int kZoomItems = 10;

// The client area of the design, below the menu.
constexpr int kClientWidth = 107;
constexpr int kClientHeight = 162;
}  // namespace

int LoupeSpeedInterval(int item) {
  static constexpr std::array<int, 5> intervals = {100, 250, 500, 750, 1000};
  return item >= 1 && item <= 5 ? intervals[size_t(item - 1)] : 0;
}

QString LoupeZoomItemName(double zoom) {
  return "N" + QLocale::c().toString(zoom, 'g', QLocale::FloatingPointShortest) + "001";
}

TLoupeform::TLoupeform(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
  setObjectName("Loupeform");
  QFont font("MS Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  setFont(font);

  menuBar_ = new QMenuBar(this);
  options_ = menuBar_->addMenu(QString());
  options_->menuAction()->setObjectName("Options1");
  options_->menuAction()->setData(-1);
  speed_ = options_->addMenu(QString());
  speed_->menuAction()->setObjectName("Interval1");
  zoom_ = options_->addMenu(QString());
  zoom_->menuAction()->setObjectName("Zoom");

  static constexpr std::array<const char*, kSpeedItems> speedNames = {"s1", "s2", "s3",
                                                                      "s4", "s5", "s6"};
  for (int tag = 1; tag <= kSpeedItems; ++tag) {
    QAction* item = AddItem(speed_, speedNames[size_t(tag - 1)], tag);
    connect(item, &QAction::triggered, this, [this, item] { Interval(item); });
  }
  // Zoom items are menu group 1; the handler keeps one of them checked.
  for (int tag = 0; tag < kZoomItems; ++tag) {
    const QByteArray name = LoupeZoomItemName(tag + 1).toLatin1();
    QAction* item = AddItem(zoom_, name.constData(), tag);
    connect(item, &QAction::triggered, this, [this, item] { OnZoomChosen(item); });
  }

  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar_);
  layout->addWidget(client);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // The design's order: zoom, then interval (which starts the timer), then active, then align.
  loupe_ = new Tloupe(client);
  loupe_->setObjectName("loupe");
  loupe_->setStatusTip("Loupe");  // its hint; tool tips stay off
  loupe_->SetZoomLevel(1.0);
  loupe_->SetInterval(1000);
  loupe_->SetActive(true);
  loupe_->SetAlign(TAlign::Client);

  AssignCaptions();
  move(660, 182);
}

QAction* TLoupeform::AddItem(QMenu* menu, const char* name, int tag) {
  QAction* item = menu->addAction(QString());
  item->setObjectName(name);
  item->setData(tag);
  item->setCheckable(true);
  return item;
}

void TLoupeform::AssignCaptions() {
  setWindowTitle("Loupe");
  options_->setTitle("&Options");
  speed_->setTitle("&Speed");
  zoom_->setTitle("&Zoom");
  static constexpr std::array<std::pair<const char*, const char*>, kSpeedItems> speeds = {{
      {"s1", "&Fastest"}, {"s2", "F&ast"}, {"s3", "&Normal"},
      {"s4", "&Slow"}, {"s5", "S&lowest"}, {"s6", "F&reeze"},
  }};
  for (const auto& [name, caption] : speeds) FindItem(name)->setText(caption);
  static constexpr std::array<const char*, kZoomItems> zooms = {
      "&100%", "&200%", "&300%", "&400%", "&500%", "&600%", "&700%", "&800%", "&900%", "1&000%"};
  for (int factor = 1; factor <= kZoomItems; ++factor)
    FindItem(LoupeZoomItemName(factor))->setText(zooms[size_t(factor - 1)]);
}

QAction* TLoupeform::FindItem(const QString& name) const {
  for (QAction* item : menuBar_->findChildren<QAction*>()) {
    if (item->objectName().compare(name, Qt::CaseInsensitive) == 0) return item;
  }
  return nullptr;
}

int TLoupeform::Tag(const QAction* item) { return item ? item->data().toInt() : 0; }

void TLoupeform::Interval(QAction* sender) {
  for (int number = 1; number <= kSpeedItems; ++number)
    if (QAction* item = FindItem("S" + QString::number(number))) item->setChecked(false);
  const int tag = Tag(sender);
  if (tag == kFreezeTag) loupe_->SetActive(false);
  else if (const int interval = LoupeSpeedInterval(tag)) loupe_->SetInterval(interval);
  sender->setChecked(true);
}

void TLoupeform::OnZoomChosen(QAction* sender) {
  for (int factor = 1; factor <= kZoomItems; ++factor)
    if (QAction* item = FindItem(LoupeZoomItemName(factor))) item->setChecked(false);
  sender->setChecked(true);
  loupe_->SetZoomLevel(Tag(sender) + 1);
}

}  // namespace velk
