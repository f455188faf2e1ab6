#include "app/session_end.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <utility>

namespace velk {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
volatile sig_atomic_t signalPipe = -1;  // the write end, for the handler

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(signalPipe, &byte, 1);
  errno = saved;
}

void SetHandler(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace

SessionEnd::SessionEnd() {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;  // the default actions stay
  signalPipe = pipe_[1];
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SessionEnd::SignalArrived);
  SetHandler(OnSignal);
#ifndef QT_NO_SESSIONMANAGER
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
    if (save_) save_();
  });
#endif
}

SessionEnd::~SessionEnd() {
  if (pipe_[0] < 0) return;
  SetHandler(SIG_DFL);
  signalPipe = -1;
  delete notifier_;  // before its descriptor goes
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void SessionEnd::SetMainWindow(QWidget& mainWindow, std::function<void()> saveSettings) {
  main_ = &mainWindow;
  save_ = std::move(saveSettings);
  if (std::exchange(pending_, false)) QTimer::singleShot(0, this, &SessionEnd::End);
}

void SessionEnd::SignalArrived() {
  char bytes[64];
  while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
  }
  End();
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
