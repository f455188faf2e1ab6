#include "platform/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <climits>

namespace velk {

namespace {
// The part of a window's top that holds its title: what must stay in reach to move it back.
constexpr int kTitleBand = 24;
}  // namespace

QList<QRect> MonitorGeometries() {
  QList<QRect> monitors;
  if (QScreen* primary = QGuiApplication::primaryScreen()) monitors << primary->geometry();
  for (QScreen* screen : QGuiApplication::screens())
    if (screen != QGuiApplication::primaryScreen()) monitors << screen->geometry();
  return monitors;
}

QRect MonitorOf(const QRect& window, const QList<QRect>& monitors) {
  QRect best;
  long long bestArea = 0;
  for (const QRect& monitor : monitors) {
    const QRect common = monitor & window;
    const long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
    if (area > bestArea) {
      bestArea = area;
      best = monitor;
    }
  }
  if (bestArea > 0) return best;
  long long nearest = LLONG_MAX;
  for (const QRect& monitor : monitors) {
    const QPoint d = monitor.center() - window.center();
    const long long distance = 1LL * d.x() * d.x() + 1LL * d.y() * d.y();
    if (distance < nearest) {
      nearest = distance;
      best = monitor;
    }
  }
  return best;
}

QPoint OntoMonitors(const QRect& window, const QList<QRect>& monitors) {
  const QRect title(window.topLeft(), QSize(window.width(), std::min(kTitleBand, window.height())));
  for (const QRect& monitor : monitors) {
    const QRect shown = monitor & title;
    // Enough of the title to take hold of it.
    if (shown.width() >= std::min(title.width(), 100) && shown.height() >= title.height())
      return window.topLeft();
  }
  if (monitors.isEmpty()) return window.topLeft();
  QRect centred = window;
  centred.moveCenter(monitors.first().center());
  const QRect& monitor = monitors.first();
  centred.moveTopLeft(QPoint(std::max(centred.left(), monitor.left()),
                             std::max(centred.top(), monitor.top())));
  return centred.topLeft();
}

void CentreOver(QWidget& window, const QWidget& owner) {
  QRect frame = window.frameGeometry();
  const QRect over = owner.frameGeometry();
  frame.moveCenter(over.center());
  const QRect room = MonitorOf(over, MonitorGeometries());
  if (!room.isEmpty()) {
    frame.moveLeft(std::clamp(frame.left(), room.left(), std::max(room.left(), room.right() - frame.width() + 1)));
    frame.moveTop(std::clamp(frame.top(), room.top(), std::max(room.top(), room.bottom() - frame.height() + 1)));
  }
  window.move(frame.topLeft());
}

}  // namespace velk
