// velkview: the program entry makes the windows in their order and runs the message loop.
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "app/splash_form.h"
#include "app/translate_splash.h"
#include "chrome/xdg_folders.h"
#include "gif/gif_format.h"
#include "image/loupe_form.h"
#include "options/convert_command.h"
#include "options/languages.h"
#include "options/options_form.h"
#include "platform/application.h"
#include "platform/program_folder.h"
#include "platform/qt_dialogs.h"
#include "platform/registry.h"
#include "platform/system_colors.h"

namespace {

// With VELKVIEW_SCREENSHOT set, the screen is captured into that file once the main window
// shows, and the program ends (how ./run.sh shows the viewer on a machine without a display).
void ScheduleScreenshot(QWidget& window) {
  const char* target = std::getenv("VELKVIEW_SCREENSHOT");
  if (!target || !*target) return;
  const QString path = QString::fromLocal8Bit(target);
  QTimer::singleShot(1500, &window, [&window, path] {
    const QPixmap shot = window.screen()->grabWindow(0);
    const bool saved = shot.save(path, "PNG");
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot:" : "could not write",
                 qPrintable(path));
    QApplication::exit(saved ? 0 : 1);
  });
}

// With VELKVIEW_QUIT_WHEN_PAINTED set, the program ends once the main window has painted
// itself the first time (how start-up time is measured).
class QuitWhenPainted : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int main(int argc, char** argv) {
  // The command-line converter needs no display: it runs before any application object.
  if (velk::IsConvertCommand(argc, argv)) return velk::RunConvertCommand(argc, argv);
  // Screen capture, window shapes and always-on-top need X11 (XWayland on Wayland desktops).
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  velk::Application app(argc, argv);
  velk::InstallPaletteSystemColors();
  velk::InstallDialogs(std::make_shared<velk::QtDialogs>());
  velk::RegisterGifFormat();

  // The splash shows while the other windows are made; it closes itself once messages flow.
  auto* splash = new velk::TSplashForm;
  velk::TranslateSplash(*splash, velk::ProgramFolder());  // also sets the title
  splash->show();
  splash->repaint();

  velk::ViewerSettings settings;
  velk::TLoupeform loupe;  // hidden until asked for
  velk::MainformEnvironment environment;
  environment.programFolder = velk::ProgramFolder();
  environment.programPath = velk::ProgramPath();
  environment.hivePath = velk::DefaultHivePath();
  environment.programsFolder = velk::ProgramsFolder();
  environment.desktopFolder = velk::DesktopFolder();
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  environment.arguments = arguments;

  velk::TFullscreenform fullscreen;  // made before the main window needs it; shown on demand
  velk::TMainform mainform(settings, &loupe, &fullscreen, environment);
  // The options dialog's creation completes the main window's start-up (zoom, file).
  velk::TOptions options(mainform, environment.programFolder, &mainform);
  velk::TranslateOptions(options, mainform);  // keeps the zoom index, sets the title again
  mainform.SetOptionsDialog(&options);
  // A click on the full-screen window stops the slide show.
  fullscreen.OnStopSlideShow = [&options] {
    if (auto* timer = options.findChild<QTimer*>("Timer1")) timer->stop();
  };
  mainform.show();
  ScheduleScreenshot(mainform);
  QuitWhenPainted quitWhenPainted;
  if (qEnvironmentVariableIsSet("VELKVIEW_QUIT_WHEN_PAINTED"))
    mainform.installEventFilter(&quitWhenPainted);
  return app.exec();
}
