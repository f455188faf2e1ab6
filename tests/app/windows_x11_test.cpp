// The program's windows as an X11 desktop sees them, with no window manager running: titles
// exactly the captions, the window class the desktop entry names, message boxes centred on the
// window they belong to; and the shipped plugin list in the plugin drop-down.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/program_windows.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/qt_dialogs.h"
#include "support/child_process.h"
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
  ScopedMixerSystem mixers{SilentMixerSystem()};
  Application::SetTitle("Velk's JPEG Viewer");
  test::ProgramWindows windows(VELK_SHIPPED_PLUGINS);
  TMainform& mainform = *windows.mainform;
  // The shipped list brings the bundled plugin into the drop-down.
  EXPECT_TRUE(mainform.OptionBox971->Items().contains("Colour Picker - 1.0"));

  const std::pair<QWidget*, std::string> titles[] = {
      {windows.options.get(), "Options"},
      {&windows.loupe, "Loupe"},
      {&mainform, "Velk's JPEG Viewer"}};
  for (const auto& [window, title] : titles) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ExpectTitleAndClass(*window, title);
  }
  windows.options->hide();
  windows.loupe.hide();

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
