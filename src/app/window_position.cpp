#include "app/window_position.h"

#include <QStringList>
#include <QWidget>

#include "platform/registry.h"
#include "platform/window_place.h"

namespace velk {

void RestoreWindowPosition(QWidget& window, const Registry& registry) {
  if (!registry.ValueExists(kWindowPositionValue)) return;
  const QStringList parts =
      QString::fromStdString(registry.ReadString(kWindowPositionValue)).split(',');
  bool xOk = false, yOk = false;
  if (parts.size() != 2) return;
  const int x = parts[0].trimmed().toInt(&xOk);
  const int y = parts[1].trimmed().toInt(&yOk);
  if (!xOk || !yOk) return;
  window.move(OntoMonitors(QRect(QPoint(x, y), window.frameGeometry().size()),
                           MonitorGeometries()));
}

void WriteWindowPosition(const QWidget& window, Registry& registry) {
  const QPoint place = window.pos();
  registry.WriteString(kWindowPositionValue,
                       std::to_string(place.x()) + "," + std::to_string(place.y()));
}

}  // namespace velk
