// The program's windows as an X11 desktop sees them, with no window manager running: titles
// exactly the captions, the window class the desktop entry names, message boxes centred on the
// window they belong to, the shipped plugin list in the plugin drop-down; keys and drops.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "app/program_windows.h"
#include "app/shown_box.h"
#include "image/jpeg_image.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "platform/qt_dialogs.h"
#include "support/child_process.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
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
  EXPECT_TRUE(mainform.pluginMenuButton->Items().contains("Colour Picker - 1.0"));

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
  const auto look = [&](QMessageBox& box) {
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&box));
    ExpectTitleAndClass(box, "Velk's JPEG Viewer");
    const QPoint offset = box.frameGeometry().center() - mainform.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
    // Above a window of ours that stays on top (the splash, the loupe), never under it.
    EXPECT_EQ(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint), windows.loupe.isVisible());
  };
  EXPECT_TRUE(test::WithShownBox("Plugin not found", look));
  windows.loupe.show();
  EXPECT_TRUE(test::WithShownBox("Plugin not found", look));
}

// Keys and drops through the real windows: each key's effect, in order, on a folder of three
// pictures of different widths.
TEST(WindowsOnX11, KeysAndDropsGoThroughTheCommands) {
  if (QGuiApplication::platformName() != "xcb")
    GTEST_SKIP() << "needs an X server and QT_QPA_PLATFORM=xcb";
  ScopedScriptedDialogs dialogs;
  ScopedMixerSystem mixers{SilentMixerSystem()};
  test::ProgramWindows windows;
  TMainform& mainform = *windows.mainform;
  TFullscreenform& fullscreen = windows.fullscreen;
  const std::string pictures = windows.dir.Path() + "/pictures/";
  std::filesystem::create_directories(pictures + "sub");
  for (const auto& [name, width] : {std::pair{"a.bmp", 10}, {"b.bmp", 20}, {"c.bmp", 30}})
    SaveBmpFile(Bitmap(width, 8, 24), pictures + name);
  mainform.show();
  mainform.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&mainform));

  const auto drop = [&](const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&mainform, &enter);
    EXPECT_TRUE(enter.isAccepted());
    // Offered as a move too, the drop is taken as a copy: the source keeps its file.
    QDropEvent dropped(QPointF(300, 300), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                       {});
    QApplication::sendEvent(&mainform, &dropped);
    EXPECT_EQ(dropped.dropAction(), Qt::CopyAction);
  };
  drop(pictures + "sub");
  EXPECT_EQ(mainform.folderList->Directory(), pictures + "sub");
  drop(pictures + "b.bmp");
  EXPECT_EQ(mainform.fileList->FileName(), pictures + "b.bmp");
  EXPECT_EQ(mainform.pictureView->GetPicture().Width(), 20);

  struct Key {
    QWidget* window;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int zoom;          // the zoom box's entry after it; -2: not looked at
    const char* file;  // the selected file after it
    bool fullscreen;   // the full-screen view shown after it
  };
  const Key keys[] = {
      {&mainform, Qt::Key_1, Qt::ControlModifier, 4, "b.bmp", false},
      {&mainform, Qt::Key_Minus, Qt::ControlModifier, 5, "b.bmp", false},
      {&mainform, Qt::Key_Plus, Qt::ControlModifier, 4, "b.bmp", false},
      {&mainform, Qt::Key_0, Qt::ControlModifier, 9, "b.bmp", false},
      {&mainform, Qt::Key_F11, {}, -2, "b.bmp", true},
      {&fullscreen, Qt::Key_Space, {}, -2, "c.bmp", true},
      {&fullscreen, Qt::Key_Space, {}, -2, "c.bmp", true},  // the last stays
      {&fullscreen, Qt::Key_Home, {}, -2, "a.bmp", true},
      {&fullscreen, Qt::Key_PageDown, {}, -2, "b.bmp", true},
      {&fullscreen, Qt::Key_End, {}, -2, "c.bmp", true},
      {&fullscreen, Qt::Key_Backspace, {}, -2, "b.bmp", true},
      {&fullscreen, Qt::Key_PageUp, {}, -2, "a.bmp", true},
      {&fullscreen, Qt::Key_F11, {}, -2, "a.bmp", false},
  };
  for (const Key& k : keys) {
    SCOPED_TRACE(QKeySequence(k.key | k.modifiers).toString().toStdString());
    QTest::keyClick(k.window->windowHandle(), k.key, k.modifiers);
    QTest::qWait(20);
    if (k.zoom != -2) {
      EXPECT_EQ(mainform.zoomBox->currentIndex(), k.zoom);
    }
    EXPECT_EQ(mainform.fileList->FileName(), pictures + k.file);
    EXPECT_EQ(fullscreen.isVisible(), k.fullscreen);
    if (k.fullscreen) {
      // It took the keyboard without a window manager, and shows the selected file.
      EXPECT_TRUE(QTest::qWaitForWindowActive(&fullscreen));
      EXPECT_EQ(fullscreen.captionLabel->text().toStdString(), pictures + k.file);
    }
  }

  // Return in the file list, Escape out; F5 reads the file again; F1 opens About.
  mainform.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&mainform));
  mainform.fileList->setFocus();
  QTest::keyClick(mainform.windowHandle(), Qt::Key_Return);
  EXPECT_TRUE(fullscreen.isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(&fullscreen));
  QTest::keyClick(fullscreen.windowHandle(), Qt::Key_Escape);
  EXPECT_FALSE(fullscreen.isVisible());
  ASSERT_TRUE(QTest::qWaitForWindowActive(&mainform));  // the keyboard is handed back
  SaveBmpFile(Bitmap(40, 8, 24), pictures + "a.bmp");
  QTest::keyClick(mainform.windowHandle(), Qt::Key_F5);
  EXPECT_EQ(mainform.pictureView->GetPicture().Width(), 40);
  QTest::keyClick(mainform.windowHandle(), Qt::Key_F1);
  EXPECT_TRUE(windows.options->isVisible());
  EXPECT_EQ(windows.options->pageTree->currentItem()->text(0), "About");
  EXPECT_TRUE(dialogs->messages.empty());
}

}  // namespace
}  // namespace velk
