#include "platform/application.h"

#include "platform/dialogs.h"
#include "platform/errors.h"

namespace velk {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("velkview");
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowException(error);
  }
  return false;
}

QString Application::Title() {
  const QString title = applicationDisplayName();
  return title.isEmpty() ? QStringLiteral("Velk's JPEG Viewer") : title;
}

void Application::SetTitle(const QString& title) { setApplicationDisplayName(title); }

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
