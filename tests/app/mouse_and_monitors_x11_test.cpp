// The picture under the mouse (Ctrl+wheel zoom, drag to pan, the full-screen wheel), and
// windows among monitors: the one a window stands on, a remembered place brought back onto a
// monitor that still exists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "app/program_windows.h"
#include "app/scroll_box.h"
#include "app/window_position.h"
#include "image/jpeg_image.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "platform/bitmap.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/window_place.h"
#include "widgets/file_list_box.h"
#include "widgets/directory_list_box.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

void Wheel(QWidget* widget, QPoint at, int delta, Qt::KeyboardModifiers modifiers = {}) {
  QWheelEvent wheel(at, widget->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, modifiers,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &wheel);
}

void Mouse(QWidget* widget, QEvent::Type type, QPoint at) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
  QApplication::sendEvent(widget, &event);
}

TEST(PictureMouse, CtrlWheelZoomsAboutThePointerADragPansAndTheFullScreenWheelSteps) {
  if (QGuiApplication::platformName() != "xcb")
    GTEST_SKIP() << "needs an X server and QT_QPA_PLATFORM=xcb";
  ScopedScriptedDialogs dialogs;
  ScopedMixerSystem mixers{SilentMixerSystem()};
  test::ProgramWindows windows;
  TMainform& main = *windows.mainform;
  const std::string pictures = windows.dir.Path() + "/pictures/";
  std::filesystem::create_directories(pictures);
  for (const char* name : {"a.bmp", "b.bmp"}) SaveBmpFile(Bitmap(600, 600, 24), pictures + name);
  main.folderList->SetDirectory(pictures);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  main.fileList->SetItemIndex(0);
  main.OnFileSelected();
  main.zoomBox->setCurrentIndex(4);  // 100 %
  main.OnZoomChanged();
  QWidget* view = main.imageArea->viewport();
  QScrollBar* across = main.imageArea->horizontalScrollBar();
  QScrollBar* down = main.imageArea->verticalScrollBar();
  const auto scroll = [&] { return QPoint(across->value(), down->value()); };
  ASSERT_EQ(scroll(), QPoint(0, 0));
  EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);  // larger than its area

  // Picture point (100, 120) stays under the pointer: at 200 % it is 200, 240 on the picture.
  Wheel(main.pictureView, QPoint(100, 120), 120, Qt::ControlModifier);
  EXPECT_EQ(main.zoomBox->currentIndex(), 3);
  EXPECT_EQ(scroll(), QPoint(100, 120));
  Wheel(view, QPoint(100, 120), -120, Qt::ControlModifier);
  EXPECT_EQ(main.zoomBox->currentIndex(), 4);
  EXPECT_EQ(scroll(), QPoint(0, 0));
  Wheel(view, QPoint(100, 120), -120);  // without Ctrl the wheel scrolls
  EXPECT_EQ(main.zoomBox->currentIndex(), 4);
  EXPECT_GT(down->value(), 0);

  down->setValue(0);
  Mouse(main.pictureView, QEvent::MouseButtonPress, QPoint(200, 200));
  EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
  Mouse(main.pictureView, QEvent::MouseMove, QPoint(150, 120));
  Mouse(main.pictureView, QEvent::MouseButtonRelease, QPoint(150, 120));
  EXPECT_EQ(scroll(), QPoint(50, 80));
  EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);

  // In full screen the wheel steps through the files, on the main window's monitor.
  main.MenuClick(main.fullScreenButton);
  ASSERT_TRUE(windows.fullscreen.isVisible());
  EXPECT_EQ(windows.fullscreen.geometry(), main.screen()->geometry());
  Wheel(windows.fullscreen.pictureView, QPoint(10, 10), -120);
  EXPECT_EQ(main.fileList->FileName(), pictures + "b.bmp");
  Wheel(windows.fullscreen.pictureView, QPoint(10, 10), 120);
  EXPECT_EQ(main.fileList->FileName(), pictures + "a.bmp");
  windows.fullscreen.Leave();
}

TEST(Monitors, AWindowBelongsToTheMonitorHoldingMostOfItAndComesBackOntoOne) {
  const QList<QRect> monitors = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
  const struct {
    QRect window;
    QRect monitor;  // MonitorOf
    QPoint place;   // OntoMonitors
  } cases[] = {
      {{100, 100, 770, 542}, monitors[0], {100, 100}},
      {{1800, 100, 770, 542}, monitors[1], {1800, 100}},   // across the edge, mostly right
      {{1500, 100, 770, 542}, monitors[0], {1500, 100}},   // mostly left
      {{5000, 300, 770, 542}, monitors[1], {575, 269}},    // a monitor that is gone
      {{-760, -20, 770, 542}, monitors[0], {575, 269}},    // its title out of reach
      {{-600, 10, 770, 542}, monitors[0], {-600, 10}},     // enough of the title to grab
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.window.x());
    EXPECT_EQ(MonitorOf(c.window, monitors), c.monitor);
    EXPECT_EQ(OntoMonitors(c.window, monitors), c.place);
  }
}

TEST(Monitors, TheMainWindowComesBackWhereItWasOrOntoTheScreen) {
  if (QGuiApplication::platformName() != "xcb")
    GTEST_SKIP() << "needs an X server and QT_QPA_PLATFORM=xcb";
  ScopedScriptedDialogs dialogs;
  ScopedMixerSystem mixers{SilentMixerSystem()};
  test::ProgramWindows windows;
  windows.mainform->move(123, 77);
  ASSERT_TRUE(windows.mainform->FormClose());
  const auto next = [&] {
    return std::make_unique<TMainform>(windows.settings, &windows.loupe, &windows.fullscreen,
                                       windows.environment);
  };
  EXPECT_EQ(next()->pos(), QPoint(123, 77));
  {
    Registry registry(windows.environment.hivePath);
    ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
    registry.WriteString(kWindowPositionValue, "4000,3000");  // on a monitor since unplugged
  }
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(next()->frameGeometry().center(), screen.center());
  {
    Registry registry(windows.environment.hivePath);
    ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
    registry.WriteString(kWindowPositionValue, "12,x");  // unreadable: where the system puts it
  }
  EXPECT_NE(next()->pos(), QPoint(12, 0));
  EXPECT_TRUE(dialogs->messages.empty());
}

}  // namespace
}  // namespace velk
