#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWindow>
#include <QStringList>

#include "platform/application.h"
#include "platform/window_place.h"

namespace velk {

namespace {
QMessageBox::Icon Icon(MessageKind kind) {
  switch (kind) {
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Confirmation: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons Buttons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// The window a dialog belongs to and is centred on: the active one, else (no window manager
// to activate windows) the one the user last clicked or typed in, else the first window
// shown; never one that deletes itself when closed (the splash closes on its own while
// start-up messages are up and would take them with it).
QWidget* Owner() {
  const auto usable = [](QWidget* window) {
    return window && window->isVisible() && !window->testAttribute(Qt::WA_DeleteOnClose);
  };
  if (QWidget* active = QApplication::activeWindow(); usable(active)) return active;
  if (QWidget* last = Application::LastInputWindow(); usable(last)) return last;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (usable(window) && window->windowType() == Qt::Window) return window;
  return nullptr;
}

// Where no window may own a box (at start-up only the splash is up): the shown window it
// stands over, transient for it without belonging to it.
QWidget* ShownWindow() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->windowType() == Qt::Window) return window;
  return nullptr;
}

// A box must not sit under a window of ours that stays on top (the splash during start-up,
// the loupe): it then stays on top too.
bool AnyWindowStaysOnTop() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && (window->windowFlags() & Qt::WindowStaysOnTopHint)) return true;
  return false;
}

// Qt places a dialog as if every window had a frame of a guessed size, so without a window
// manager a box lands off its window's centre: it is centred again once it has its size,
// kept on its window's screen.
class CentredMessageBox : public QMessageBox {
public:
  using QMessageBox::QMessageBox;

  // Over a window that does not own the box; it may close meanwhile.
  void StandOver(QWidget* window) {
    over_ = window;
    winId();  // the box's own window, to be made transient now
    if (window && window->windowHandle()) windowHandle()->setTransientParent(window->windowHandle());
  }

protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    activateWindow();  // Return and Escape answer it, also where no window manager gives focus
    QWidget* owner = parentWidget() ? parentWidget()->window() : over_.data();
    if (owner) CentreOver(*this, *owner);
  }

private:
  QPointer<QWidget> over_;
};
}  // namespace

MessageAnswer QtDialogs::Message(MessageKind kind, const std::string& text, MessageButtons buttons) {
  // Titled with the program's name, as the platform's message boxes are.
  CentredMessageBox box(Icon(kind), Application::Title(), QString::fromStdString(text),
                        Buttons(buttons), Owner());
  if (!box.parentWidget()) box.StandOver(ShownWindow());
  if (AnyWindowStaysOnTop()) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Ok: return MessageAnswer::Ok;
    default: return MessageAnswer::Cancel;
  }
}

std::vector<std::string> QtDialogs::OpenFiles(const FileBoxRequest& request) {
  QStringList chosen;
  const QString title = QString::fromStdString(request.title);
  const QString dir = QString::fromStdString(request.initialDir);
  const QString filter = QtFileFilter(request.filter);
  if (request.multiSelect) {
    chosen = QFileDialog::getOpenFileNames(Owner(), title, dir, filter);
  } else {
    const QString one = QFileDialog::getOpenFileName(Owner(), title, dir, filter);
    if (!one.isEmpty()) chosen << one;
  }
  std::vector<std::string> files;
  for (const QString& file : chosen) files.push_back(file.toStdString());
  return files;
}

std::string QtDialogs::PickFolder(const std::string& title, const std::string& initialDir) {
  return QFileDialog::getExistingDirectory(Owner(), QString::fromStdString(title),
                                           QString::fromStdString(initialDir))
      .toStdString();
}

QString QtFileFilter(const std::string& windowsFilter) {
  const QStringList parts = QString::fromStdString(windowsFilter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList masks = parts[i + 1].split(';', Qt::SkipEmptyParts);
    filters << parts[i] + " (" + masks.join(' ') + ")";
  }
  return filters.join(";;");
}

}  // namespace velk
