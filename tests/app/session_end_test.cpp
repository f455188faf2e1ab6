#include "app/session_end.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <csignal>

namespace velk {
namespace {

// A main window whose close handler may refuse, as the viewer's does when it cannot save.
class Window : public QWidget {
public:
  bool refuse = false;
  int closes = 0;

protected:
  void closeEvent(QCloseEvent* event) override {
    ++closes;
    event->setAccepted(!refuse);
  }
};

TEST(SessionEnd, ASignalCancelsTheOpenBoxThenClosesThroughTheCloseHandler) {
  struct Case {
    int signal;
    bool refuse;       // the close handler keeps the window open
    bool atStartUp;    // the box shows before the main window is made known
    int exitCode;
  };
  const Case cases[] = {{SIGTERM, false, false, 0},
                        {SIGHUP, false, true, 0},
                        {SIGINT, true, false, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signal);
    Window window;
    window.refuse = c.refuse;
    window.show();
    SessionEnd end;
    if (!c.atStartUp) end.SetMainWindow(window, {});
    int answer = -1;
    const auto ask = [&] {
      QMessageBox box(QMessageBox::Question, "Velk's JPEG Viewer", "Sure?",
                      QMessageBox::Yes | QMessageBox::No);
      QTimer::singleShot(20, [&] { ::raise(c.signal); });
      answer = box.exec();
    };
    if (c.atStartUp) {
      ask();  // in its own event loop, as start-up boxes are
      EXPECT_EQ(window.closes, 0);
      end.SetMainWindow(window, {});
    } else {
      QTimer::singleShot(0, ask);
    }
    QTimer::singleShot(5000, [] { QApplication::exit(99); });  // never reached when it works
    EXPECT_EQ(QApplication::exec(), c.exitCode);
    EXPECT_EQ(answer, QDialog::Rejected);  // cancelled, not answered
    EXPECT_EQ(window.closes, 1);
    EXPECT_EQ(window.isVisible(), c.refuse);
  }
}

}  // namespace
}  // namespace velk
