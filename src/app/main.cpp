// velkview: the program entry makes the windows in their order and runs the message loop.
#include <signal.h>

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "app/command_line.h"
#include "app/first_run_launchers.h"
#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "app/session_end.h"
#include "app/signal_notifier.h"
#include "app/splash_form.h"
#include "app/translate_splash.h"
#include "chrome/xdg_folders.h"
#include "gif/gif_format.h"
#include "image/jpeg_codec.h"
#include "image/loupe_form.h"
#include "mixer/mixer_systems.h"
#include "options/convert_command.h"
#include "options/languages.h"
#include "options/options_form.h"
#include "platform/application.h"
#include "platform/icon_keeping_style.h"
#include "platform/large_pages.h"
#include "platform/program_files.h"
#include "platform/program_folder.h"
#include "platform/qt_dialogs.h"
#include "platform/registry.h"
#include "platform/system_colors.h"

namespace {

// Unattended runs (no one to click): message boxes shown are answered as by a click on their
// default button and printed. With VELKVIEW_SCREENSHOT (how ./run.sh shows the viewer on a
// machine without a display), once the main window has shown for 1.5 s the screen is saved and
// the program ends; with VELKVIEW_CLOSE_WHEN_SHOWN the main window is closed as by its close
// button once it shows, so the program ends the usual way, saving its settings; with
// VELKVIEW_REPORT_SHOWN it only says so and runs on (until a test signals it). With
// VELKVIEW_REPORT_PICTURES each change of the selected entry, the size shown, the picture's
// status line and the number of entries listed is printed, and SIGUSR1 presses Down in the
// file list, so a test can step through a folder while it changes the files. Otherwise only the boxes are answered.
class Unattended : public QObject {
public:
  Unattended(QString screenshotPath, bool closeWhenShown, bool reportShown, bool reportPictures)
      : path_(std::move(screenshotPath)), close_(closeWhenShown), report_(reportShown),
        pictures_(reportPictures) {
    connect(&poll_, &QTimer::timeout, this, &Unattended::Poll);
    poll_.start(20);
    if (pictures_) new velk::SignalNotifier({SIGUSR1}, [this] { PressDown(); }, this);
  }

private:
  static QWidget* MainWindow() {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->objectName() == "Mainform" && window->isVisible()) return window;
    return nullptr;
  }

  void PressDown() {
    QWidget* main = MainWindow();
    auto* files = main ? main->findChild<QAbstractItemView*>("FileListBox1") : nullptr;
    if (!files) return;
    QApplication::postEvent(files, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    QApplication::postEvent(files, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier));
  }

  void ReportPicture(QWidget* main) {
    const auto* files = main->findChild<QAbstractItemView*>("FileListBox1");
    const auto* size = main->findChild<QLabel*>("Label8");
    const auto* status = main->findChild<QLabel*>("Statusbar1");
    const QModelIndex current = files ? files->currentIndex() : QModelIndex();
    const int entries = files && files->model() ? files->model()->rowCount() : 0;
    const QString line = QString("%1|%2|%3|%4 entries")
                             .arg(current.isValid() ? current.data().toString() : QString(),
                                  size ? size->text() : QString(),
                                  status ? status->text() : QString())
                             .arg(entries);
    if (line == lastPicture_) return;
    lastPicture_ = line;
    std::printf("picture: %s\n", qPrintable(line));
    std::fflush(stdout);
  }

  void Poll() {
    if (QWidget* box = QApplication::activeModalWidget()) {
      if (auto* message = qobject_cast<QMessageBox*>(box)) {
        std::printf("message: %s\n", qPrintable(message->text()));
        std::fflush(stdout);
      }
      box->close();
      return;
    }
    QWidget* main = MainWindow();
    if (main && pictures_) ReportPicture(main);
    if (!main || (path_.isEmpty() && !close_ && !report_)) return;
    if (close_ || report_) {
      // What the properties panel shows, for tests of what a start opens.
      if (!closeTried_ && !reported_) {
        const auto* name = main->findChild<QLabel*>("Label6");
        const auto* size = main->findChild<QLabel*>("Label8");
        std::printf("shown: %s|%s\n", name ? qPrintable(name->text()) : "",
                    size ? qPrintable(size->text()) : "");
        std::fflush(stdout);
        reported_ = true;
      }
      if (!close_) return;
      // A window that refuses to close (its settings could not be saved) ends the run too.
      if (closeTried_) QApplication::exit(1);
      closeTried_ = true;
      // Outside this timer's slot, so the poll can answer a box the close shows.
      QTimer::singleShot(0, main, &QWidget::close);
      return;
    }
    if (!shownFor_.isValid()) shownFor_.start();
    if (shownFor_.elapsed() < 1500) return;
    poll_.stop();
    const bool saved = main->screen()->grabWindow(0).save(path_, "PNG");
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot:" : "could not write",
                 qPrintable(path_));
    QApplication::exit(saved ? 0 : 1);
  }

  QString path_;
  bool close_, report_, pictures_;
  QString lastPicture_;
  bool reported_ = false;
  bool closeTried_ = false;
  QTimer poll_;
  QElapsedTimer shownFor_;
};

// With VELKVIEW_QUIT_WHEN_PAINTED set, the program ends once the main window has painted
// itself the first time (how start-up time is measured); start-up messages are answered.
class QuitWhenPainted : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
    return QObject::eventFilter(watched, event);
  }
};

// The picture start-up shows (named on the command line, or the remembered one) starts
// decoding at once, while the windows are made.
void StartFirstPicture(velk::PictureLoader& loader, int argc, char** argv) {
  const std::string hive = velk::DefaultHivePath();
  int first = 1;
  if (first < argc && std::strcmp(argv[first], "--") == 0) ++first;
  std::string path;
  if (first < argc) {
    const QFileInfo file(QString::fromLocal8Bit(argv[first]));
    if (file.isFile()) path = file.absoluteFilePath().toStdString();
  } else {
    path = velk::TMainform::RememberedStartFile(hive);
  }
  if (!path.empty()) loader.Start(velk::TMainform::StartRequest(hive, path));
}

// Makes the windows in their order and runs the message loop.
int RunViewer(velk::Application& app, velk::PictureLoader& loader,
              std::future<std::vector<QImage>>& iconPictures,
              std::optional<velk::JpegCoreTaken>& makingWindows) {
  velk::InstallIconKeepingStyle();  // before the palette: a new style resets it
  velk::InstallPaletteSystemColors();
  velk::InstallDialogs(std::make_shared<velk::QtDialogs>());
  velk::RegisterGifFormat();
  // Before anything reads a profile file: where an installed copy keeps the user's copies.
  velk::UseProgramFiles(
      velk::ProgramFiles::ForFolder(velk::ProgramFolder(), velk::UserConfigFolder()));
  std::unique_ptr<Unattended> unattended;
  if (qEnvironmentVariableIsSet("VELKVIEW_SCREENSHOT") ||
      qEnvironmentVariableIsSet("VELKVIEW_CLOSE_WHEN_SHOWN") ||
      qEnvironmentVariableIsSet("VELKVIEW_REPORT_SHOWN") ||
      qEnvironmentVariableIsSet("VELKVIEW_REPORT_PICTURES") ||
      qEnvironmentVariableIsSet("VELKVIEW_QUIT_WHEN_PAINTED"))
    unattended = std::make_unique<Unattended>(
        qEnvironmentVariable("VELKVIEW_SCREENSHOT"),
        qEnvironmentVariableIsSet("VELKVIEW_CLOSE_WHEN_SHOWN"),
        qEnvironmentVariableIsSet("VELKVIEW_REPORT_SHOWN"),
        qEnvironmentVariableIsSet("VELKVIEW_REPORT_PICTURES"));

  velk::SessionEnd sessionEnd;  // before any start-up box can wait for an answer
  // The splash shows while the other windows are made; it closes itself once messages flow.
  QPointer<velk::TSplashForm> splash = new velk::TSplashForm;
  velk::RunShowingErrors([&] { velk::TranslateSplash(*splash, velk::ProgramFolder()); });
  splash->show();
  splash->repaint();
  // Before any other window or box: every rendered size, so the window manager and task bar
  // need not scale one. Its pictures were decoded meanwhile.
  QIcon icon;
  for (const QImage& picture : iconPictures.get()) icon.addPixmap(QPixmap::fromImage(picture));
  QApplication::setWindowIcon(icon);

  velk::ViewerSettings settings;
  velk::TLoupeform loupe;  // hidden until asked for
  velk::MainformEnvironment environment;
  environment.programFolder = velk::ProgramFolder();
  environment.programPath = velk::ProgramPath();
  environment.hivePath = velk::DefaultHivePath();
  environment.programsFolder = velk::ProgramsFolder();
  environment.desktopFolder = velk::DesktopFolder();
  environment.entryFolders = velk::InstalledEntryFolders(environment.programFolder);
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  environment.arguments = velk::FileArguments(arguments);
  environment.loader = &loader;

  velk::TFullscreenform fullscreen;  // made before the main window needs it; shown on demand
  velk::TMainform mainform(settings, &loupe, &fullscreen, environment);
  // The options dialog's creation completes the main window's start-up (zoom, file).
  velk::TOptions options(mainform, environment.programFolder, &mainform);
  if (splash) options.Version->setText(splash->Version->text());  // the About page's version
  // Keeps the zoom index, sets the title again.
  velk::RunShowingErrors([&] { velk::TranslateOptions(options, mainform); });
  mainform.SetOptionsDialog(&options);
  velk::RunShowingErrors([&] { mainform.FinishStartup(); });
  // A click on the full-screen window stops the slide show.
  fullscreen.OnStopSlideShow = [&options] {
    if (auto* timer = options.findChild<QTimer*>("Timer1")) timer->stop();
  };
  mainform.show();
  makingWindows.reset();
  mainform.activateWindow();  // the keyboard's, also without a window manager to give it
  // A logout, a closed terminal or Ctrl+C ends the run as the close button does.
  sessionEnd.SetMainWindow(mainform, [&mainform] { mainform.FormClose(); });
  QuitWhenPainted quitWhenPainted;
  if (qEnvironmentVariableIsSet("VELKVIEW_QUIT_WHEN_PAINTED"))
    mainform.installEventFilter(&quitWhenPainted);
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  velk::GiveLargeBlocksBack();
  const velk::CommandLine line = velk::ParseCommandLine(argc, argv);
  switch (line.action) {
    case velk::CommandLine::Action::Help:
      std::fputs(velk::UsageText().c_str(), stdout);
      return 0;
    case velk::CommandLine::Action::Version:
      std::printf("velkview %s\n", VELK_VERSION);
      return 0;
    case velk::CommandLine::Action::BadUsage:
      std::fprintf(stderr, "velkview: %s\n%s", line.problem.c_str(), velk::UsageText().c_str());
      return 2;
    case velk::CommandLine::Action::Convert:
      // The command-line converter needs no display: it runs before any application object.
      return velk::RunConvertCommand(argc, argv);
    case velk::CommandLine::Action::View:
      break;
  }
  // Screen capture, window shapes and always-on-top need X11 (XWayland on Wayland desktops).
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  // Qt would abort with its own plugin text; say what is missing instead.
  if (const std::string problem = velk::DisplayProblem(argc, argv); !problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    return 1;
  }
  velk::PictureLoader loader;
  // Making the windows keeps this thread's core busy: the first picture's decode leaves it be.
  std::optional<velk::JpegCoreTaken> makingWindows(std::in_place);
  StartFirstPicture(loader, argc, argv);
  velk::SystemMixers();  // its devices are looked for on a thread of their own meanwhile
  std::optional<velk::DisplayFailureGuard> displayFailure(std::in_place);
  velk::Application app(argc, argv);
  // Decoded on a thread of its own while the windows are made; not before the application
  // object exists, since reading a picture asks it where the format plugins are.
  std::future<std::vector<QImage>> iconPictures = std::async(std::launch::async, [] {
    std::vector<QImage> pictures;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
      pictures.emplace_back(QString(":/icons/velkview-%1.png").arg(size));
    return pictures;
  });
  // Made after the application object, so gone before it: no load outlives it.
  struct StopLoads {
    velk::PictureLoader& loader;
    ~StopLoads() { loader.Shutdown(); }
  } stopLoads{loader};
  displayFailure.reset();
  try {
    return RunViewer(app, loader, iconPictures, makingWindows);
  } catch (const std::exception& error) {
    // A window that could not even be made: say why rather than abort.
    velk::ShowException(error);
    return 1;
  }
}
