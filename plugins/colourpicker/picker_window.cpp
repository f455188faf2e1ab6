#include "picker_window.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace colourpicker {

namespace {
constexpr int kView = 112;  // side of the magnifier in pixels
}

PickerWindow::PickerWindow(QString settingsFile)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint),
      settingsFile_(std::move(settingsFile)) {
  setObjectName("ColourPicker");
  setWindowTitle("Colour Picker");
  setAttribute(Qt::WA_DeleteOnClose);

  magnifier_ = new QLabel(this);
  magnifier_->setFixedSize(kView, kView);
  magnifier_->setFrameShape(QFrame::Box);
  swatch_ = new QLabel(this);
  swatch_->setFixedSize(72, 40);
  swatch_->setFrameShape(QFrame::Box);
  swatch_->setAutoFillBackground(true);
  value_ = new QLineEdit(this);
  value_->setReadOnly(true);
  position_ = new QLabel(this);
  hold_ = new QCheckBox("Hold (Space)", this);
  hold_->setFocusPolicy(Qt::NoFocus);
  auto* copy = new QPushButton("Copy", this);
  copy->setFocusPolicy(Qt::NoFocus);
  connect(copy, &QPushButton::clicked, this, [this] { Copy(); });

  auto* layout = new QGridLayout(this);
  layout->addWidget(magnifier_, 0, 0, 4, 1);
  layout->addWidget(swatch_, 0, 1);
  layout->addWidget(value_, 1, 1);
  layout->addWidget(position_, 2, 1);
  layout->addWidget(hold_, 3, 1);
  layout->addWidget(copy, 4, 1);
  value_->setMinimumWidth(150);

  ReloadSettings();
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, [this] { Sample(); });
  timer_->start(50);
}

void PickerWindow::ReloadSettings() {
  settings_ = PickerSettings::Load(settingsFile_);
  value_->setText(ValueText());
}

QString PickerWindow::ValueText() const { return FormatColour(colour_, settings_.format); }

void PickerWindow::Copy() {
  if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setText(ValueText());
}

void PickerWindow::Sample() {
  const QPoint at = QCursor::pos();
  if (hold_->isChecked() || frameGeometry().contains(at)) return;
  QScreen* screen = QGuiApplication::screenAt(at);
  if (!screen) return;
  // An odd span keeps the pointer's pixel in the middle.
  const int span = std::max(3, (kView / settings_.zoom) | 1);
  const QRect area(at.x() - span / 2, at.y() - span / 2, span, span);
  const QRect onScreen = area.intersected(screen->geometry());
  QImage captured(span, span, QImage::Format_RGB32);
  captured.fill(Qt::black);
  if (!onScreen.isEmpty()) {
    const QPoint inScreen = onScreen.topLeft() - screen->geometry().topLeft();
    const QPixmap grabbed =
        screen->grabWindow(0, inScreen.x(), inScreen.y(), onScreen.width(), onScreen.height());
    if (grabbed.isNull()) {  // capture refused (e.g. under Wayland)
      position_->setText("No screen capture");
      return;
    }
    QPainter painter(&captured);
    painter.drawPixmap(onScreen.topLeft() - area.topLeft(), grabbed);
  }
  Show(captured, at);
}

void PickerWindow::Show(const QImage& area, const QPoint& at) {
  colour_ = area.pixelColor(area.width() / 2, area.height() / 2);
  const int zoom = kView / area.width();
  QPixmap view(kView, kView);
  view.fill(Qt::black);
  QPainter painter(&view);
  const int offset = (kView - area.width() * zoom) / 2;
  painter.drawImage(QRect(offset, offset, area.width() * zoom, area.height() * zoom), area);
  // Frame the pointer's pixel in a colour that stands out from it.
  painter.setPen(colour_.lightness() > 127 ? Qt::black : Qt::white);
  const int centre = offset + (area.width() / 2) * zoom;
  painter.drawRect(centre - 1, centre - 1, zoom + 1, zoom + 1);
  painter.end();
  magnifier_->setPixmap(view);

  QPalette palette = swatch_->palette();
  palette.setColor(QPalette::Window, colour_);
  swatch_->setPalette(palette);
  value_->setText(ValueText());
  position_->setText(QString("%1, %2").arg(at.x()).arg(at.y()));
}

void PickerWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    hold_->toggle();
  } else if (event->matches(QKeySequence::Copy)) {
    Copy();
  } else {
    QWidget::keyPressEvent(event);
  }
}

}  // namespace colourpicker
