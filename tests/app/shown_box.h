#pragma once
// Raises a message box through the program's dialogs service and looks at it while it is up.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "platform/qt_dialogs.h"

namespace velk::test {

// True when the box showed; look runs once while it is up, and the box is closed after it.
inline bool WithShownBox(const std::string& text, const std::function<void(QMessageBox&)>& look) {
  bool seen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    poll.stop();
    seen = true;
    look(*box);
    box->close();
  });
  poll.start(20);
  QtDialogs().ShowError(text);
  return seen;
}

}  // namespace velk::test
