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
    bool refuse;
    int exitCode;
  };
  for (const Case& c : {Case{SIGTERM, false, 0}, Case{SIGHUP, false, 0}, Case{SIGINT, true, 1}}) {
    SCOPED_TRACE(c.signal);
    Window window;
    window.refuse = c.refuse;
    window.show();
    SessionEnd end(window, {});
    int answer = -1;
    QTimer::singleShot(0, [&] {
      QMessageBox box(QMessageBox::Question, "Velk's JPEG Viewer", "Sure?",
                      QMessageBox::Yes | QMessageBox::No);
      QTimer::singleShot(20, [&] { ::raise(c.signal); });
      answer = box.exec();
    });
    QTimer::singleShot(5000, [] { QApplication::exit(99); });  // never reached when it works
    EXPECT_EQ(QApplication::exec(), c.exitCode);
    EXPECT_EQ(answer, QDialog::Rejected);  // cancelled, not answered
    EXPECT_EQ(window.closes, 1);
    EXPECT_EQ(window.isVisible(), c.refuse);
  }
}

}  // namespace
}  // namespace velk
