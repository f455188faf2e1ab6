#pragma once
// The application object: catches exceptions that leave an event handler and shows them in
// the standard error box, so the program goes on.
#include <QApplication>
#include <exception>
#include <functional>
#include <string>

namespace velk {

class Application : public QApplication {
  Q_OBJECT
public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // The application's title, used as the caption of message boxes. Kept apart from Qt's
  // display name, which Qt would append to every window's title.
  static QString Title();
  static void SetTitle(const QString& title);
  // The window that last took a click or a key, while it exists: where the user is, when no
  // window manager says which window is active.
  static QWidget* LastInputWindow();
};

// The text the standard error box shows for a message: a full stop is added when the message
// does not already end in one (or in other punctuation that sorts before it).
std::string ErrorBoxText(const std::string& message);
// Shows an exception in the standard error box through the dialogs service.
void ShowException(const std::exception& error);
// Runs one step of a sequence that must go on whatever the step meets (start-up above all,
// where no event loop catches yet): a failure is shown in the standard error box. False then.
bool RunShowingErrors(const std::function<void()>& step);

}  // namespace velk
