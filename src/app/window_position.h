#pragma once
// The main window's place between runs, kept as "x,y" under a value of its own beside the
// viewer's settings; a place on a monitor that is gone comes back onto the primary one.
class QWidget;

namespace velk {

class Registry;

inline constexpr const char* kWindowPositionValue = "WindowPosition";

// registry has the settings key open. A missing or unreadable value leaves the window be.
void RestoreWindowPosition(QWidget& window, const Registry& registry);
void WriteWindowPosition(const QWidget& window, Registry& registry);

}  // namespace velk
