#pragma once
// Where windows go among the monitors: the one a window stands on, a window brought back onto
// a monitor that still exists, a window centred over another.
#include <QList>
#include <QRect>

class QWidget;

namespace velk {

// The monitors' geometries, the primary first.
QList<QRect> MonitorGeometries();

// The monitor holding the largest part of window; without any overlap the one nearest to the
// window's centre. Empty without monitors.
QRect MonitorOf(const QRect& window, const QList<QRect>& monitors);

// Where window's top-left goes so that its title band can be reached: kept where a monitor
// shows it, else centred on the first (primary) monitor.
QPoint OntoMonitors(const QRect& window, const QList<QRect>& monitors);

// Moves a top-level window so that its frame is centred over owner's, kept on owner's monitor.
void CentreOver(QWidget& window, const QWidget& owner);

}  // namespace velk
