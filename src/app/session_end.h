#pragma once
// The end of a session: a logout's SIGTERM, a closed terminal's SIGHUP and Ctrl+C's SIGINT
// close the main window as its close button does, so its settings are saved. The signal only
// writes a byte to a pipe; the event loop does the rest, where every call is safe. Made before
// the windows, so that a signal during start-up (at a message box) ends the run once the main
// window is there.
#include <QObject>
#include <QWidget>
#include <functional>

namespace velk {

class SignalNotifier;

class SessionEnd : public QObject {
public:
  SessionEnd();
  ~SessionEnd() override;  // the signals' default actions come back

  // The window a signal closes; a signal that came before closes it now. saveSettings answers
  // the session manager's save request: the settings as a close saves them, with the window
  // left open (the manager may still cancel the logout).
  void SetMainWindow(QWidget& mainWindow, std::function<void()> saveSettings);

  // Cancels a modal box or menu open at the moment, then closes the main window through its
  // close handler and ends the event loop (exit code 1 when the window refused to close);
  // without a main window yet, the close waits for it.
  void End();

private:
  SignalNotifier* signals_;
  QWidget* main_ = nullptr;
  std::function<void()> save_;
  bool pending_ = false;
  int cancelRounds_ = 0;
};

}  // namespace velk
