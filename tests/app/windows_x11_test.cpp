// The program's windows as an X11 desktop sees them, with no window manager running: titles
// exactly the captions, the window class the desktop entry names, message boxes centred on the
// window they belong to; and the shipped plugin list in the plugin drop-down.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "image/loupe_form.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "options/options_form.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/qt_dialogs.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "widgets/option_box.h"

namespace velk {
namespace {

// What xprop reads of a window from the X server.
std::string Properties(QWidget& window) {
  const test::ChildRun run =
      test::RunChild({test::FindTool("xprop"), "-notype", "-id", std::to_string(window.winId()),
                      "WM_NAME", "_NET_WM_NAME", "WM_CLASS"},
                     {});
  return run.output;
}

void ExpectTitleAndClass(QWidget& window, const std::string& title) {
  const std::string properties = Properties(window);
  EXPECT_NE(properties.find("WM_NAME = \"" + title + "\"\n"), std::string::npos) << properties;
  EXPECT_NE(properties.find("_NET_WM_NAME = \"" + title + "\"\n"), std::string::npos) << properties;
  EXPECT_NE(properties.find(", \"velkview\"\n"), std::string::npos) << properties;  // WM_CLASS
}

TEST(WindowsOnX11, TitlesAreTheCaptionsAndBoxesCentreOnTheirWindow) {
  if (QGuiApplication::platformName() != "xcb")
    GTEST_SKIP() << "needs an X server and QT_QPA_PLATFORM=xcb";
  if (test::FindTool("xprop").empty()) GTEST_SKIP() << "xprop is missing (x11-utils)";
  namespace fs = std::filesystem;
  test::TempDir dir;
  const std::string folder = dir.Path() + "/program/";
  fs::create_directories(folder + "plugins");
  fs::copy(fs::path(VELK_COLOURPICKER).parent_path(), folder + "plugins/colourpicker",
           fs::copy_options::recursive);
  fs::copy_file(VELK_SHIPPED_PLUGINS, folder + "plugins.ini");
  ScopedMixerSystem mixers{SilentMixerSystem()};
  Application::SetTitle("Velk's JPEG Viewer");

  ViewerSettings settings;
  TLoupeform loupe;
  TFullscreenform fullscreen;
  MainformEnvironment environment;
  environment.programFolder = folder;
  environment.hivePath = dir.Path() + "/hkcu.reg";
  TMainform mainform(settings, &loupe, &fullscreen, environment);
  TOptions options(mainform, folder, &mainform);
  mainform.SetOptionsDialog(&options);
  // The shipped list brings the bundled plugin into the drop-down.
  EXPECT_TRUE(mainform.OptionBox971->Items().contains("Colour Picker - 1.0"));

  const std::pair<QWidget*, std::string> windows[] = {
      {&options, "Options"}, {&loupe, "Loupe"}, {&mainform, "Velk's JPEG Viewer"}};
  for (const auto& [window, title] : windows) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ExpectTitleAndClass(*window, title);
  }
  options.hide();
  loupe.hide();

  // A box raised while the user works in the main window, away from the screen's centre.
  mainform.move(20, 30);
  QTest::qWait(100);
  QTest::mouseClick(&mainform, Qt::LeftButton, {}, QPoint(5, 5));
  bool seen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    poll.stop();
    seen = true;
    EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
    ExpectTitleAndClass(*box, "Velk's JPEG Viewer");
    const QPoint offset = box->frameGeometry().center() - mainform.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
    box->close();
  });
  poll.start(20);
  QtDialogs().ShowError("Plugin not found");
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace velk
