#include "platform/application.h"

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"
#include "platform/errors.h"

namespace velk {
namespace {

QString& StoredTitle() {
  static QString title = QStringLiteral("Velk's JPEG Viewer");
  return title;
}

QPointer<QWidget>& LastInput() {
  static QPointer<QWidget> window;
  return window;
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  // Also the X11 window class, which desktops match with the desktop entry's StartupWMClass.
  setApplicationName("velkview");
  setDesktopFileName("velkview");
}

bool Application::notify(QObject* receiver, QEvent* event) {
  // The receiver first: events that other threads post to the application object (the GIF
  // painters' hand-offs) are not looked into here.
  if (receiver->isWidgetType() &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress))
    LastInput() = static_cast<QWidget*>(receiver)->window();
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowException(error);
  }
  return false;
}

QString Application::Title() { return StoredTitle(); }

void Application::SetTitle(const QString& title) { StoredTitle() = title; }

QWidget* Application::LastInputWindow() { return LastInput(); }

std::string ErrorBoxText(const std::string& message) {
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

void ShowException(const std::exception& error) { AppDialogs().ShowError(ErrorBoxText(MessageOf(error))); }

bool RunShowingErrors(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const std::exception& error) {
    ShowException(error);
  }
  return false;
}

}  // namespace velk
