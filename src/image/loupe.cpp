#include "image/loupe.h"
#include "platform/system_colors.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "platform/color.h"

namespace velk {

namespace {
QRgb ToQRgb(TColor color) { return ToQColor(color).rgb(); }

PixelGrid GridOf(QImage& image) {
  return {reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height(),
          image.bytesPerLine() / 4};
}
}  // namespace

Tloupe::Tloupe(QWidget* parent) : GraphicControl(parent), timer_(new QTimer(this)) {
  // Opaque: every pixel is painted from the off-screen image, so nothing is erased first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  offscreen_ = QImage(100, 100, QImage::Format_RGB32);
  offscreen_.fill(Qt::black);
  timer_->setInterval(interval_);
  resize(100, 100);
  ResizeSource();
  connect(timer_, &QTimer::timeout, this, &Tloupe::Capture);
}

Tloupe::~Tloupe() { timer_->stop(); }

void Tloupe::SetZoomLevel(double zoom) {
  zoomLevel_ = zoom > 0 ? zoom : 1.0;
  ResizeSource();
}

void Tloupe::SetInterval(int milliseconds) {
  timer_->stop();
  // Faster than the fastest speed would keep the interface thread capturing without a pause.
  interval_ = std::max(milliseconds, kFastestInterval);
  timer_->setInterval(interval_);
  timer_->start();
}

void Tloupe::SetActive(bool active) {
  active_ = active;
  if (active) timer_->start();
  else timer_->stop();
}

void Tloupe::SetBevelInner(TPanelBevel bevel) {
  bevelInner_ = bevel;
  update();
}

void Tloupe::SetBevelOuter(TPanelBevel bevel) {
  bevelOuter_ = bevel;
  update();
}

void Tloupe::SetBevelwidth(int width) {
  bevelWidth_ = std::max(width, 1);
  update();
}

void Tloupe::SetDrawDesigning(bool draw) {
  drawDesigning_ = draw;
  update();
}

bool Tloupe::Capturing() const { return timer_->isActive(); }

void Tloupe::ResizeSource() {
  source_ = LoupeSourceSize(width(), height(), zoomLevel_);
  capture_ = QImage(source_.width, source_.height, QImage::Format_RGB32);
  capture_.fill(Qt::black);
}

void Tloupe::Capture() { CaptureAround(QCursor::pos()); }

void Tloupe::CaptureAround(QPoint pointer) {
  const CaptureOrigin origin = LoupeCaptureOrigin(pointer.x(), pointer.y(), source_);
  GrabScreen(QPoint(origin.left, origin.top));
  {
    // Repeats pixels (no smoothing), like the framework's default stretch mode.
    QPainter painter(&offscreen_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRect(0, 0, width(), height()), capture_);
  }
  repaint();
}

void Tloupe::GrabScreen(QPoint origin) {
  if (capture_.isNull()) return;
  const QRect area(origin, capture_.size());
  QScreen* screen = QGuiApplication::screenAt(area.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  // Only what lies on the screen is grabbed; the rest of the area shows black.
  const QRect onScreen = screen ? area.intersected(screen->geometry()) : QRect();
  if (onScreen != area) capture_.fill(Qt::black);
  if (onScreen.isEmpty()) return;
  const QPoint inScreen = onScreen.topLeft() - screen->geometry().topLeft();
  const QPixmap grabbed =
      screen->grabWindow(0, inScreen.x(), inScreen.y(), onScreen.width(), onScreen.height());
  QPainter painter(&capture_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawPixmap(onScreen.topLeft() - area.topLeft(), grabbed);
}

void Tloupe::paintEvent(QPaintEvent* event) {
  if (offscreen_.size() != size()) {
    // Keeps what fits of the old picture; the capture area follows the new size.
    offscreen_ = offscreen_.copy(0, 0, width(), height());
    ResizeSource();
  }
  DrawLoupeBevels(GridOf(offscreen_), bevelOuter_, bevelInner_, bevelWidth_,
                  ToQRgb(clBtnShadow), ToQRgb(clBtnHighlight));
  QPainter painter(this);
  painter.drawImage(event->rect(), offscreen_, event->rect());
}

}  // namespace velk
