#include "app/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <cstring>
#include <filesystem>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QKeyEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QWindow>

#include "app/fullscreen_form.h"
#include "app/scroll_box.h"
#include "chrome/g_progress.h"
#include "image/image_aspect.h"
#include "image/jpeg_codec.h"
#include "image/jpeg_image.h"
#include "image/loupe.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "options/options_form.h"
#include "image/loupe_form.h"
#include "platform/atomic_file.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "support/temp_dir.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
#include "widgets/filter_combo_box.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

Bitmap Gradient(int width, int height) {
  Bitmap bitmap(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      p[0] = uint8_t(x);
      p[1] = uint8_t(y);
      p[2] = 128;
    }
  return bitmap;
}

std::string Contents(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// A program folder, a hive, shortcut folders and a folder of pictures, all temporary.
class MainformTest : public ::testing::Test {
protected:
  MainformTest() {
    pictures = dir.Path() + "/pictures";
    std::filesystem::create_directories(pictures);
    std::filesystem::create_directories(dir.Path() + "/programs");
    std::filesystem::create_directories(dir.Path() + "/desktop");
    std::filesystem::create_directories(dir.Path() + "/program");  // the options write skins.ini
    WriteFileAtomically(pictures + "/a.jpg", EncodeJpeg(Gradient(101, 77), JpegEncodeOptions{}));
    SaveBmpFile(Gradient(600, 400), pictures + "/b.bmp");
    WriteFileAtomically(pictures + "/c.jpeg", std::string("not a jpeg at all"));
    WriteFileAtomically(pictures + "/d.wmf", std::string("metafile"));
    WriteFileAtomically(pictures + "/e.txt", std::string("text"));
    environment = MainformEnvironment::InFolder(dir.Path());
  }

  std::unique_ptr<TMainform> Start(QStringList arguments = {}) {
    environment.arguments = arguments;
    loupe = std::make_unique<TLoupeform>();
    fullscreen = std::make_unique<TFullscreenform>();
    settings = ViewerSettings();
    auto form = std::make_unique<TMainform>(settings, loupe.get(), fullscreen.get(), environment);
    if (withOptions) {
      options = std::make_unique<TOptions>(*form, environment.programFolder, form.get());
      form->SetOptionsDialog(options.get());
    }
    form->FinishStartup();
    return form;
  }
  bool withOptions = false;  // the whole start-up, the options dialog's part included
  std::unique_ptr<TOptions> options;

  void WriteHive(const std::string& values) {
    std::filesystem::create_directories(dir.Path() + "/config");
    WriteFileAtomically(environment.hivePath,
                        "Windows Registry Editor Version 5.00\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Velk's Software\\Velk's JPEG viewer]\n" +
                            values);
  }

  std::string AllValues() {
    std::string values = "\"Directory\"=\"" + pictures + "\"\n\"Grey\"=dword:00000000\n"
                         "\"Dither\"=dword:00000001\n\"Colours\"=dword:00000002\n"
                         "\"Zoom\"=dword:00000004\n\"Loupe\"=dword:00000000\n"
                         "\"Loupezoom\"=\"2\"\n\"Filter\"=dword:00000001\n"
                         "\"FileIndex\"=dword:00000001\n\"Filename\"=dword:00000001\n"
                         "\"Showstart\"=dword:00000001\n\"skindir\"=\"/skins/\"\n"
                         "\"lint\"=dword:00000003\n";
    return values;
  }

  test::TempDir dir;
  std::string pictures;
  MainformEnvironment environment;
  ViewerSettings settings;
  std::unique_ptr<TLoupeform> loupe;
  std::unique_ptr<TFullscreenform> fullscreen;
  ScopedScriptedDialogs dialogs;
  // A mixer whatever the machine has: the options dialog reports none otherwise.
  ScopedMixerSystem mixers{SilentMixerSystem()};
};

TEST_F(MainformTest, FirstRunMakesShortcutsAndWritesAllValuesOnlyAtClose) {
  auto form = Start();
  // Launchers that "Open with" can hand a file to, with the icon the package puts in the theme.
  for (const std::string& file : {environment.programsFolder + "/velkview.desktop",
                                 environment.desktopFolder + "/Velk's Jpeg Viewer.desktop"}) {
    const auto entry = ReadWholeFile(file);
    ASSERT_TRUE(entry) << file;
    const std::string text(entry->begin(), entry->end());
    EXPECT_NE(text.find("\nExec=" + environment.programPath + " %F\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=velkview\n"), std::string::npos) << text;
  }
  EXPECT_FALSE(std::filesystem::exists(environment.hivePath));
  EXPECT_EQ(settings.Zoom, 9);
  EXPECT_EQ(settings.Colours, 2);
  EXPECT_TRUE(settings.FileIndex && settings.Showstart);
  EXPECT_EQ(settings.skindir, environment.programFolder);
  EXPECT_EQ(settings.pluginsFolder, environment.programFolder + "plugins/");
  EXPECT_TRUE(loupe->FindItem("S6")->isChecked());
  EXPECT_TRUE(loupe->FindItem("N1001")->isChecked());
  EXPECT_FALSE(loupe->loupe()->Active());

  ASSERT_TRUE(form->FormClose());
  Registry registry(environment.hivePath);
  ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
  for (const char* name : {"Directory", "Loupezoom", "skindir"})
    EXPECT_TRUE(registry.ValueExists(name)) << name;
  for (const char* name : {"Grey", "Dither", "Colours", "Zoom", "Loupe", "Filter", "FileIndex",
                           "Showstart", "skinny", "lint", "Filename"})
    EXPECT_NO_THROW(registry.ReadInteger(name)) << name;
  EXPECT_EQ(registry.ReadString("Loupezoom"), "1");
  EXPECT_EQ(registry.ReadInteger("lint"), 6);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(MainformTest, ALaterRunRestoresEveryValue) {
  WriteHive(AllValues());
  auto form = Start();
  EXPECT_EQ(form->folderList->Directory(), pictures);
  EXPECT_EQ(settings.Dither, 1);
  EXPECT_EQ(loupe->loupe()->ZoomLevel(), 2.0);
  EXPECT_TRUE(loupe->FindItem("N2001")->isChecked());
  EXPECT_TRUE(loupe->FindItem("S3")->isChecked());
  EXPECT_EQ(loupe->loupe()->Interval(), 500);
  EXPECT_EQ(form->filterBox->ItemIndex(), 1);
  EXPECT_EQ(form->fileList->Mask(), "*.*");
  TOptions options(*form, environment.programFolder, form.get());  // completes the start-up
  EXPECT_EQ(form->zoomBox->currentIndex(), 4);
  EXPECT_EQ(form->fileList->ItemIndex(), 1);  // b.bmp, shown at once
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 600);
  EXPECT_EQ(form->typeValue->text(), "Bitmap Image");
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(MainformTest, AFolderThatIsGoneLeavesTheFolderListWhereItStarts) {
  std::string values = AllValues();
  values.replace(values.find(pictures), pictures.size(), dir.Path() + "/gone");
  WriteHive(values);
  auto form = Start();
  EXPECT_NE(form->folderList->Directory(), dir.Path() + "/gone");
  EXPECT_EQ(settings.lint, 3);  // the rest of the values were read
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(MainformTest, AFailingValueStopsTheRestAndShowsItsMessage) {
  const struct {
    const char* drop;     // the value line removed
    const char* replace;  // or replaced by this
    const char* message;
  } cases[] = {
      {"\"Colours\"=dword:00000002\n", "", "Failed to get data for 'Colours'"},
      {"\"Zoom\"=dword:00000004\n", "\"Zoom\"=\"4\"\n", "Invalid data type for 'Zoom'"},
      {"\"Loupezoom\"=\"2\"\n", "\"Loupezoom\"=\"two\"\n",
       "'two' is not a valid floating point value."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    std::string values = AllValues();
    values.replace(values.find(c.drop), std::strlen(c.drop), c.replace);
    WriteHive(values);
    dialogs->messages.clear();
    auto form = Start();
    ASSERT_EQ(dialogs->Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(settings.lint, 0);          // read after the failure: untouched
    EXPECT_FALSE(settings.Showstart);
  }
}

TEST_F(MainformTest, RememberFilenameOffStoresZeroAndZoomMinusOneIsNoSelection) {
  std::string values = AllValues();
  values.replace(values.find("\"FileIndex\"=dword:00000001"), 26, "\"FileIndex\"=dword:00000000");
  values.replace(values.find("\"Zoom\"=dword:00000004"), 21, "\"Zoom\"=dword:ffffffff");
  WriteHive(values);
  auto form = Start();
  TOptions options(*form, environment.programFolder, form.get());
  form->SetOptionsDialog(&options);
  EXPECT_EQ(form->zoomBox->currentIndex(), -1);
  form->fileList->SetItemIndex(2);
  ASSERT_TRUE(form->FormClose());
  Registry registry(environment.hivePath);
  registry.OpenKey(kSettingsKey, false);
  EXPECT_EQ(registry.ReadInteger("Filename"), 0);
  EXPECT_EQ(registry.ReadInteger("Zoom"), -1);
}

// Counts the presses that reach the window itself, which start the system move.
class PressCounter : public QObject {
public:
  int presses = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    presses += event->type() == QEvent::MouseButtonPress;
    return false;
  }
};

TEST_F(MainformTest, ThePanelsShowTheirColoursOverTheSkinAndPressesOnTheSkinDrag) {
  auto form = Start();
  SaveBmpFile(Gradient(770, 542), dir.Path() + "/skin.bmp");
  form->LoadSkinPicture(dir.Path() + "/skin.bmp");
  form->ApplySkinColour(2, clNavy);
  form->ApplySkinColour(5, clMaroon);
  const QImage shot = form->grab().toImage();
  const QPoint skin(234, 300), titlePanel(500, 8), toolbarPanel(102, 29);
  EXPECT_EQ(shot.pixelColor(skin), QColor(128, 300 - 256, 234));
  EXPECT_EQ(shot.pixelColor(toolbarPanel), QColor(0, 0, 128));
  EXPECT_EQ(shot.pixelColor(titlePanel), QColor(128, 0, 0));
  EXPECT_EQ(shot.pixelColor(form->titleLabel->geometry().topLeft()), QColor(128, 0, 0));

  form->show();
  form->progressBar->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  PressCounter counter;
  form->installEventFilter(&counter);
  const QPoint label = form->nameCaption->geometry().center();
  const QPoint bar = form->progressBar->geometry().center();
  const QPoint fileList = form->fileList->geometry().center();
  for (QPoint at : {skin, titlePanel, toolbarPanel, label, bar, fileList}) {
    QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, at);
  }
  EXPECT_EQ(counter.presses, 5);  // all but the file list
}

TEST_F(MainformTest, TheProgressBarStandsOutOnTheDefaultSkin) {
  auto form = Start();
  form->progressBar->show();
  form->progressBar->SetPosition(50);
  const QImage bar = form->progressBar->grab().toImage();
  const int background = bar.pixelColor(170, 6).lightness();
  for (int x : {5, 95}) EXPECT_GE(std::abs(bar.pixelColor(x, 6).lightness() - background), 40) << x;
}

TEST_F(MainformTest, LoupeSpeedsAndZoomsFromTheSettings) {
  for (const auto& [lint, zoom, checkedSpeed, checkedZoom, active] :
       {std::tuple{0, "1.5", "", "", true}, std::tuple{7, "1", "", "N1001", true},
        std::tuple{6, "10", "S6", "N10001", false}}) {
    SCOPED_TRACE(lint);
    std::string values = AllValues();
    values.replace(values.find("\"lint\"=dword:00000003"), 21,
                   QString("\"lint\"=dword:%1").arg(lint, 8, 10, QChar('0')).toStdString());
    values.replace(values.find("\"Loupezoom\"=\"2\""), 15,
                   std::string("\"Loupezoom\"=\"") + zoom + "\"");
    WriteHive(values);
    auto form = Start();
    EXPECT_EQ(loupe->loupe()->Active(), active);
    for (int i = 1; i <= 6; ++i)
      EXPECT_EQ(loupe->FindItem("S" + QString::number(i))->isChecked(),
                checkedSpeed == "S" + std::to_string(i));
    if (*checkedZoom) {
      EXPECT_TRUE(loupe->FindItem(checkedZoom)->isChecked());
    }
  }
}

TEST_F(MainformTest, TheCommandLineOpensTheFileInItsFolder) {
  auto form = Start({QString::fromStdString(pictures + "/a.jpg")});
  EXPECT_EQ(form->fileList->FileName(), pictures + "/a.jpg");
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 101);
  EXPECT_EQ(form->sizeValue->text().endsWith("(101 x 77)"), true);
  EXPECT_EQ(form->typeValue->text(), "JPEG Image");

  // A file the mask does not list becomes the mask.
  auto other = Start({QString::fromStdString(pictures + "/e.txt")});
  EXPECT_EQ(other->fileList->Mask(), "e.txt");
  EXPECT_EQ(other->fileList->FileName(), pictures + "/e.txt");

  auto missing = Start({QString::fromStdString(pictures + "/none.jpg")});
  EXPECT_EQ(missing->fileList->FileName(), "");
}

TEST_F(MainformTest, ChoosingFilesFillsThePanelAndTheZoomApplies) {
  auto form = Start({QString::fromStdString(pictures + "/a.jpg")});
  form->zoomBox->setCurrentIndex(5);
  form->OnZoomChanged();
  EXPECT_EQ(form->pictureView->size(), QSize(75, 57));
  form->zoomBox->setCurrentIndex(9);  // fits: stays at 100 %
  form->OnZoomChanged();
  EXPECT_FALSE(form->pictureView->isHidden());
  EXPECT_EQ(form->pictureView->size(), QSize(101, 77));

  form->fileList->SetFileName(pictures + "/b.bmp");
  EXPECT_TRUE(form->pictureView->isHidden());  // 600 x 400 does not fit: the zoomable view
  EXPECT_FALSE(form->fitView->isHidden());
  EXPECT_EQ(form->fitView->GetPicture().Width(), 600);

  // Not a JPEG: an empty picture with its properties and no message.
  form->fileList->SetFileName(pictures + "/c.jpeg");
  EXPECT_FALSE(form->pictureView->GetPicture().HasGraphic());
  EXPECT_TRUE(form->sizeValue->text().endsWith("B (0 x 0)"))
      << form->sizeValue->text().toStdString();
  EXPECT_EQ(form->typeValue->text(), "JPEG Image");
  EXPECT_FALSE(form->fullScreenButton->isEnabled());
  EXPECT_TRUE(dialogs->messages.empty());

  // Unsupported: nothing shown, the panel blank.
  form->fileList->SetFileName(pictures + "/d.wmf");
  EXPECT_EQ(form->nameValue->text(), "");
  EXPECT_TRUE(form->executeButton->isEnabled());

  // The shown file renamed on disk: the panel says its new name at once, without a new load.
  form->fileList->SetFileName(pictures + "/a.jpg");
  const Picture* shown = &form->pictureView->GetPicture();
  const uint64_t generation = shown->Generation();
  std::filesystem::rename(pictures + "/a.jpg", pictures + "/z.jpg");
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->nameValue->text() == "z.jpg"; }, 10000));
  EXPECT_EQ(form->nameValue->toolTip(), "z.jpg");
  EXPECT_EQ(shown->Generation(), generation);

  // A new folder: nothing selected, the panel cleared, the four buttons off.
  form->folderList->SetDirectory(dir.Path());
  EXPECT_EQ(form->nameValue->text(), "");
  EXPECT_FALSE(form->pictureView->GetPicture().HasGraphic());
  for (auto* button : {form->executeButton, form->clearButton, form->refreshButton,
                       form->fullScreenButton})
    EXPECT_FALSE(button->isEnabled());
}

// Several files on the command line (a file manager's "Open with" on a selection): the list
// holds just those, in their order, until another folder is chosen.
TEST_F(MainformTest, SeveralFilesGivenAreTheListInTheirOrder) {
  const std::string other = dir.Path() + "/other";
  std::filesystem::create_directories(other);
  SaveBmpFile(Gradient(30, 20), other + "/x.bmp");
  const std::string given[] = {pictures + "/b.bmp", pictures + "/a.jpg", other + "/x.bmp"};
  auto form = Start({QString::fromStdString(given[0]), QString::fromStdString(given[1]),
                     QString::fromStdString(given[2])});
  EXPECT_EQ(form->fileList->Items(), (std::vector<std::string>{"b.bmp", "a.jpg", given[2]}));
  EXPECT_EQ(form->folderList->Directory(), pictures);
  EXPECT_EQ(form->fileList->FileName(), given[0]);
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 600);
  form->fileList->SetItemIndex(1);
  EXPECT_EQ(form->fileList->FolderIndex(), 0);  // what the settings keep: a.jpg is the first
  form->fileList->SetItemIndex(2);
  EXPECT_EQ(form->fileList->FileName(), given[2]);
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 30);
  EXPECT_EQ(form->locationValue->toolTip().toStdString(), other + "/");
  form->folderList->SetDirectory(other);
  EXPECT_EQ(form->fileList->Items(), (std::vector<std::string>{"x.bmp"}));
}

TEST_F(MainformTest, BrowsingLoadsOffTheWindowThreadAndKeepsTheNeighboursReady) {
  // Photos told apart by their widths; noise decodes slowly enough to catch a load running.
  const std::string folder = dir.Path() + "/photos";
  std::filesystem::create_directories(folder);
  auto photo = [&](char name, int width) {
    Bitmap bitmap(width, 900, 24);
    uint32_t noise = uint32_t(width);
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width() * 3; ++x)
        bitmap.ScanLine(y)[x] = uint8_t((noise = noise * 1103515245u + 12345u) >> 24);
    WriteFileAtomically(folder + "/" + name + ".jpg", EncodeJpeg(bitmap, {}));
  };
  for (const char name : {'a', 'b', 'c', 'd'}) photo(name, 1000 + 100 * (name - 'a'));
  auto form = Start();
  form->show();
  form->folderList->SetDirectory(folder);
  auto path = [&](char name) { return folder + "/" + name + ".jpg"; };
  // Input handled inside the running event loop, as the program's is.
  auto inLoop = [](const std::function<void()>& input) {
    QEventLoop loop;
    QTimer::singleShot(0, [&] { input(); loop.quit(); });
    loop.exec();
  };
  auto until = [](const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
  };
  auto shownWidth = [&] { return form->pictureView->GetPicture().Width(); };
  form->fileList->SetItemIndex(0);  // outside the loop the picture is there at once
  EXPECT_EQ(shownWidth(), 1000);
  // The next one down is made ready, then taken as it is selected: no load to wait for.
  ASSERT_TRUE(until([&] { return form->PictureReady(path('b')); }));
  inLoop([&] { form->fileList->SetItemIndex(1); });
  EXPECT_FALSE(form->PictureLoading());
  EXPECT_EQ(form->nameValue->text(), "b.jpg");
  EXPECT_EQ(shownWidth(), 1100);
  EXPECT_TRUE(form->PictureReady(path('a')));  // the one left stays for going back
  ASSERT_TRUE(until([&] { return form->PictureReady(path('c')); }));
  // A ready file rewritten since is read again; the shown picture and panel stay meanwhile.
  photo('c', 1250);
  inLoop([&] { form->fileList->SetItemIndex(2); });
  EXPECT_TRUE(form->PictureLoading());
  EXPECT_EQ(form->nameValue->text(), "b.jpg");
  EXPECT_EQ(shownWidth(), 1100);
  ASSERT_TRUE(until([&] { return !form->PictureLoading(); }));
  EXPECT_EQ(form->nameValue->text(), "c.jpg");
  EXPECT_EQ(shownWidth(), 1250);
  EXPECT_TRUE(form->sizeValue->text().endsWith("(1250 x 900)"))
      << form->sizeValue->text().toStdString();
  EXPECT_TRUE(form->progressBar->isHidden());
  inLoop([&] { form->fileList->SetItemIndex(1); });  // back: kept, shown at once
  EXPECT_EQ(shownWidth(), 1100);
  // Stepping in full screen shows the file once it has loaded, not the one before it.
  form->ShowFullScreen();
  ASSERT_TRUE(fullscreen->isVisible());
  form->fileList->SetItemIndex(3);
  photo('c', 1350);
  inLoop([&] {
    QCoreApplication::postEvent(fullscreen.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier));
  });
  ASSERT_TRUE(until([&] { return !form->PictureLoading() && form->nameValue->text() == "c.jpg"; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(fullscreen->pictureView->GetPicture().Width(), 1350);
  fullscreen->close();
}

TEST_F(MainformTest, PressesDuringALoadShowTheFileFinallySelected) {
  // Photos that take a while to decode, each of its own size; the event loop runs meanwhile.
  const std::string folder = dir.Path() + "/photos";
  std::filesystem::create_directories(folder);
  const QSize sizes[] = {{2400, 1800}, {2500, 1700}, {2600, 1600}};
  uint32_t noise = 1;
  for (int i = 0; i < 3; ++i) {
    Bitmap photo(sizes[i].width(), sizes[i].height(), 24);  // noise decodes slowly
    for (int y = 0; y < photo.Height(); ++y)
      for (int x = 0; x < photo.Width() * 3; ++x)
        photo.ScanLine(y)[x] = uint8_t((noise = noise * 1103515245u + 12345u) >> 24);
    WriteFileAtomically(folder + "/" + char('a' + i) + ".jpg", EncodeJpeg(photo, {}));
  }
  auto form = Start();
  form->show();
  form->folderList->SetDirectory(folder);
  // From the first photo two presses reach the last; from the second, the last press finds
  // the end of the list and the photo it moved to is still shown.
  for (const int start : {0, 1}) {
    SCOPED_TRACE(start);
    form->fileList->SetItemIndex(start);
    QEventLoop loop;
    QTimer::singleShot(0, [&] {
      for (int i = 0; i < 2; ++i)
        QCoreApplication::postEvent(form->fileList,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    });
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, [&] {
      if (form->nameValue->text() == "c.jpg") loop.quit();
    });
    done.start(20);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(form->fileList->ItemIndex(), 2);
    EXPECT_EQ(form->nameValue->text(), "c.jpg");
    EXPECT_EQ(form->pictureView->GetPicture().Width(), 2600);
    EXPECT_TRUE(form->sizeValue->text().endsWith("(2600 x 1600)"))
        << form->sizeValue->text().toStdString();
    EXPECT_TRUE(form->progressBar->isHidden());
  }
}

TEST_F(MainformTest, StartUpShowsTheRestoredFileOnlyWithShowPlayAndTheCommandLineFileAlways) {
  withOptions = true;
  struct Case { bool showstart; QStringList arguments; std::string selected; bool shown; };
  for (const Case& c : {Case{false, {}, "a.jpg", false}, Case{true, {}, "a.jpg", true},
                        Case{false, {QString::fromStdString(pictures + "/b.bmp")}, "b.bmp", true},
                        Case{true, {QString::fromStdString(pictures + "/b.bmp")}, "b.bmp", true}}) {
    SCOPED_TRACE(c.selected + (c.showstart ? " with Show/Play" : " without"));
    std::string values = AllValues();  // "Filename" 1 of "*.*": b.bmp
    values.replace(values.find("\"Filename\"=dword:00000001"), 25, "\"Filename\"=dword:00000000");
    if (!c.showstart)
      values.replace(values.find("\"Showstart\"=dword:00000001"), 26,
                     "\"Showstart\"=dword:00000000");
    WriteHive(values);
    auto form = Start(c.arguments);
    EXPECT_EQ(form->fileList->FileName(), pictures + "/" + c.selected);
    EXPECT_EQ(form->nameValue->text().toStdString(), c.shown ? c.selected : "");
    EXPECT_EQ(form->zoomBox->currentIndex(), 4);  // the restored zoom applies
    options.reset();
  }
}

TEST_F(MainformTest, TheStartFileIsDecodedOnceWithTheSettingsReadBeforeTheWindowsAreMade) {
  // The program starts decoding the command line's file with what it reads from the hive
  // before any window exists; the window must then ask for exactly that, or it decodes again.
  // Alone in its folder, so no neighbour is loaded ahead.
  std::filesystem::create_directories(dir.Path() + "/alone");
  const std::string path = dir.Path() + "/alone/a.jpg";
  std::filesystem::copy_file(pictures + "/a.jpg", path);
  const std::string remembered = "\"Directory\"=\"" + dir.Path() + "/alone\"";
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> edits;
    bool named = true;  // on the command line, else the remembered file of the hive
  };
  const Case cases[] = {
      {"first run", {}},
      {"remembered", {{"\"Directory\"=\"" + pictures + "\"", remembered},
                      {"\"Filename\"=dword:00000001", "\"Filename\"=dword:00000000"}}, false},
      {"256 colours in grey", {{"\"Colours\"=dword:00000002", "\"Colours\"=dword:00000001"},
                               {"\"Grey\"=dword:00000000", "\"Grey\"=dword:00000001"}}},
      {"16 colours, ordered", {{"\"Colours\"=dword:00000002", "\"Colours\"=dword:00000000"},
                               {"\"Dither\"=dword:00000001", "\"Dither\"=dword:00000000"}}},
      {"photo settings off", {{"\"lint\"", "\"Orientation\"=dword:00000000\n"
                                            "\"ColourProfiles\"=dword:00000000\n\"lint\""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(environment.hivePath);
    if (std::string(c.name) != "first run") {
      std::string values = AllValues();
      for (const auto& [from, to] : c.edits) values.replace(values.find(from), from.size(), to);
      WriteHive(values);
    }
    if (!c.named) EXPECT_EQ(TMainform::RememberedStartFile(environment.hivePath), path);
    const LoadRequest guessed = TMainform::StartRequest(environment.hivePath, path);
    PictureLoader loader;
    loader.Start(guessed);
    environment.loader = &loader;
    environment.arguments = c.named ? QStringList{QString::fromStdString(path)} : QStringList{};
    loupe = std::make_unique<TLoupeform>();
    fullscreen = std::make_unique<TFullscreenform>();
    settings = ViewerSettings();
    TMainform form(settings, loupe.get(), fullscreen.get(), environment);
    int progress = 0;
    QObject::connect(form.pictureView, &TCustomJPEGImage::OnProgress, [&] { ++progress; });
    TOptions dialog(form, environment.programFolder, &form);
    form.FinishStartup();
    EXPECT_EQ(form.nameValue->text(), "a.jpg");
    EXPECT_EQ(progress, 0);  // the options pushed into the JPEG control decoded nothing there
    EXPECT_TRUE(guessed == form.RequestFor(path));
    EXPECT_EQ(guessed.fitArea, form.RequestFor(path).fitArea);  // "To fit" scaled ahead too
    EXPECT_TRUE(form.pictureView->DecodeOptions() == guessed.jpeg);
    EXPECT_EQ(loader.LoadsBegun(), 1);  // the one started before the window, and no other
    environment.loader = nullptr;
  }
}

TEST_F(MainformTest, ABrokenFileGivesItsMessageKeepsItsSelectionAndEmptiesTheView) {
  SaveBmpFile(Gradient(600, 400), pictures + "/a0.bmp");
  WriteFileAtomically(pictures + "/broken.gif", std::string("GIF89a\x10\0\x10\0\x80\0\0", 13));
  auto form = Start({QString::fromStdString(pictures + "/a0.bmp")});
  form->zoomBox->setCurrentIndex(9);  // to fit: the 600 x 400 picture in the zoomable view
  form->OnZoomChanged();
  ASSERT_TRUE(form->fitView->GetPicture().HasGraphic());
  form->fileList->SetFileName(pictures + "/broken.gif");
  EXPECT_EQ(dialogs->Texts().size(), 1u);
  EXPECT_EQ(form->fileList->FileName(), pictures + "/broken.gif");
  EXPECT_TRUE(form->fileList->selectionModel()->isSelected(form->fileList->currentIndex()));
  EXPECT_FALSE(form->fitView->GetPicture().HasGraphic());
  EXPECT_EQ(form->nameValue->text(), "");
}

// Every way a picture fails or is damaged: the status line says why; a damaged JPEG shows what
// decodes; a file gone or emptied since it was listed gets the same words whatever its kind
// (in the status line for a JPEG, whose failures make no box; in a box for the others).
TEST_F(MainformTest, DamagedAndUnreadableFilesSayWhyInTheStatusLine) {
  const std::string jpeg = Contents(pictures + "/a.jpg");
  const size_t scan = jpeg.find("\xFF\xDA");
  WriteFileAtomically(pictures + "/half.jpg", jpeg.substr(0, scan + (jpeg.size() - scan) / 2));
  std::string extraneous = jpeg;
  extraneous.insert(scan, "abc");
  WriteFileAtomically(pictures + "/extra.jpg", extraneous);
  for (const char* name : {"gone.jpg", "gone.bmp", "gone.tif", "empty.jpg", "empty.gif"})
    WriteFileAtomically(pictures + "/" + name, std::string("x"));
  auto form = Start({QString::fromStdString(pictures + "/a.jpg")});
  // "All Supported Files" lists ".jpeg" beside ".jpg".
  const std::vector<std::string>& listed = form->fileList->Items();
  EXPECT_NE(std::find(listed.begin(), listed.end(), "c.jpeg"), listed.end());
  for (const char* name : {"gone.jpg", "gone.bmp", "gone.tif"})
    std::filesystem::remove(pictures + "/" + name);
  for (const char* name : {"empty.jpg", "empty.gif"})
    WriteFileAtomically(pictures + "/" + name, std::string());
  const auto cannotOpen = [&](const char* name, const char* why) {
    return "Cannot open file \"" + pictures + "/" + name + "\". " + why;
  };
  const struct {
    const char* file;
    int width;            // of the picture shown
    std::string status;   // what the status line says
    std::string box;      // the one message box, or none
  } cases[] = {
      {"half.jpg", 101, "The picture is damaged: Premature end of JPEG file", ""},
      {"extra.jpg", 101,
       "The picture is damaged: Corrupt JPEG data: 3 extraneous bytes before marker 0xda", ""},
      {"c.jpeg", 0, "The picture cannot be shown: Not a JPEG file: starts with 0x6e 0x6f", ""},
      {"a.jpg", 101, "", ""},
      {"gone.jpg", 0,
       "The picture cannot be shown: " + cannotOpen("gone.jpg", "No such file or directory"), ""},
      {"gone.bmp", 0,
       "The picture cannot be shown: " + cannotOpen("gone.bmp", "No such file or directory"),
       cannotOpen("gone.bmp", "No such file or directory.")},
      {"gone.tif", 0,
       "The picture cannot be shown: " + cannotOpen("gone.tif", "No such file or directory"),
       cannotOpen("gone.tif", "No such file or directory.")},
      {"empty.jpg", 0,
       "The picture cannot be shown: " + cannotOpen("empty.jpg", "The file is empty"), ""},
      {"empty.gif", 0,
       "The picture cannot be shown: " + cannotOpen("empty.gif", "The file is empty"),
       cannotOpen("empty.gif", "The file is empty.")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    dialogs->messages.clear();
    form->fileList->SetFileName(pictures + "/" + c.file);
    EXPECT_EQ(form->pictureView->GetPicture().Width(), c.width);
    EXPECT_EQ(form->statusLine->text().toStdString(), c.status);
    EXPECT_EQ(dialogs->Texts(), c.box.empty() ? std::vector<std::string>{} : std::vector{c.box});
    form->ShowHint("a hint");  // a hint covers the reason only while it is shown
    form->ShowHint("");
    EXPECT_EQ(form->statusLine->text().toStdString(), c.status);
  }
}

// A phone photo taken upright (EXIF Orientation 6) shows upright, in the picture and the panel,
// until the General page's box turns that off; the choice is saved with the settings.
TEST_F(MainformTest, PhotosStandAsTakenUnlessTurnedOffAndTheChoiceIsSaved) {
  std::string jpeg = Contents(pictures + "/a.jpg");
  const std::string exif("\xFF\xE1\x00\x1E" "Exif\0\0" "II*\0\x08\0\0\0" "\x01\0"
                         "\x12\x01\x03\0\x01\0\0\0\x06\0\0\0", 32);
  jpeg.insert(2, exif);
  WriteFileAtomically(pictures + "/phone.jpg", jpeg);
  withOptions = true;
  auto form = Start({QString::fromStdString(pictures + "/phone.jpg")});
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 77);
  EXPECT_TRUE(form->sizeValue->text().endsWith("(77 x 101)"));
  options->orientationBox->setChecked(false);
  EXPECT_EQ(form->pictureView->GetPicture().Width(), 101);
  EXPECT_TRUE(form->sizeValue->text().endsWith("(101 x 77)"));
  options->colourProfileBox->setChecked(false);
  ASSERT_TRUE(form->FormClose());
  Registry registry(environment.hivePath);
  ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
  EXPECT_FALSE(registry.ReadBool(kOrientationValue));
  EXPECT_FALSE(registry.ReadBool(kColourProfilesValue));
  options.reset();
  form.reset();
  auto again = Start({QString::fromStdString(pictures + "/phone.jpg")});
  EXPECT_EQ(again->pictureView->GetPicture().Width(), 101);
  options.reset();
}

// Stepping in the full-screen view onto a file that fails empties the view under that file's
// name, as the main window shows it, instead of keeping the previous picture.
TEST_F(MainformTest, FullScreenStepsOntoAFailingFileAsTheMainWindowShowsIt) {
  auto form = Start({QString::fromStdString(pictures + "/b.bmp")});
  form->ShowFullScreen();
  ASSERT_TRUE(fullscreen->pictureView->GetPicture().HasGraphic());
  QTest::keyClick(fullscreen.get(), Qt::Key_Space);
  EXPECT_EQ(form->fileList->FileName(), pictures + "/c.jpeg");
  EXPECT_FALSE(fullscreen->pictureView->GetPicture().HasGraphic());
  EXPECT_EQ(fullscreen->captionLabel->text().toStdString(), pictures + "/c.jpeg");
}

TEST_F(MainformTest, AValueThatCannotBeWrittenKeepsTheWindowOpen) {
  auto form = Start();
  // The hive's folder is a file: nothing can be written.
  WriteFileAtomically(dir.Path() + "/config", std::string("in the way"));
  EXPECT_FALSE(form->FormClose());
  ASSERT_EQ(dialogs->Texts().size(), 1u);
  EXPECT_EQ(dialogs->Texts()[0], "Failed to set data for 'Directory'");
}

}  // namespace
}  // namespace velk
