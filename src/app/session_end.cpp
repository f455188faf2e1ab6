#include "app/session_end.h"

#include <signal.h>

#include <QApplication>
#include <QDialog>
#include <QSessionManager>
#include <QTimer>
#include <utility>

#include "app/signal_notifier.h"

namespace velk {

SessionEnd::SessionEnd()
    : signals_(new SignalNotifier({SIGTERM, SIGHUP, SIGINT}, [this] { End(); }, this)) {
#ifndef QT_NO_SESSIONMANAGER
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
    if (save_) save_();
  });
#endif
}

SessionEnd::~SessionEnd() = default;  // the notifier, a child, gives the signals back

void SessionEnd::SetMainWindow(QWidget& mainWindow, std::function<void()> saveSettings) {
  main_ = &mainWindow;
  save_ = std::move(saveSettings);
  if (std::exchange(pending_, false)) QTimer::singleShot(0, this, &SessionEnd::End);
}

void SessionEnd::End() {
  // A box or menu runs its own event loop: it goes first, and the close follows once that
  // loop has unwound. A widget that will not go is left after a few rounds.
  QWidget* open = QApplication::activePopupWidget();
  if (!open) open = QApplication::activeModalWidget();
  if (open && cancelRounds_++ < 20) {
    if (auto* dialog = qobject_cast<QDialog*>(open)) dialog->reject();
    else open->close();
    QTimer::singleShot(0, this, &SessionEnd::End);
    return;
  }
  cancelRounds_ = 0;
  if (!main_) {
    pending_ = true;
    return;
  }
  QCoreApplication::exit(main_->close() ? 0 : 1);
}

}  // namespace velk
