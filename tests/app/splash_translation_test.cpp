// The language files at start-up: the splash, the shipped translations, and a language applied
// to the real main window and options dialog.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "app/splash_form.h"
#include "app/translate_splash.h"
#include "image/loupe_form.h"
#include "options/languages.h"
#include "options/options_form.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"
#include "widgets/hint_tracker.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

const std::string kShipped = VELK_LANGUAGES_DIR;

std::vector<std::string> ShippedFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(kShipped))
    if (entry.path().extension() == ".ldf") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// A program folder whose "plugins.ini" makes language 1 current.
class LanguageFolder {
public:
  LanguageFolder() { std::filesystem::create_directories(folder); }
  void Select(const std::string& file) {
    dir.Write("program/plugins.ini", "[Languages]\nnumber=2\ncurrent=1\nname1=Test\nlanguage1=" +
                                         file + "\n");
  }
  test::TempDir dir;
  std::string folder = dir.Path() + "/program/";
};

TEST(SplashTranslation, TakesTheCurrentLanguageAndSetsTheTitle) {
  LanguageFolder program;
  auto* english = new TSplashForm;
  TranslateSplash(*english, program.folder);
  // The defaults replace the design texts ("Loading Please Wait...." has four dots).
  EXPECT_EQ(english->loadingLabel->text(), "Loading Please Wait...");
  EXPECT_EQ(english->Version->text(), "Version 0.91");
  EXPECT_EQ(Application::Title(), "Velk's JPEG Viewer");
  delete english;

  program.dir.Write("es.ldf", "[Settings]\nname=Español\n0=Visor\n23=Cargando...\n");
  program.Select(program.dir.File("es.ldf"));
  auto* splash = new TSplashForm;
  TranslateSplash(*splash, program.folder);
  EXPECT_EQ(splash->titleLabel->text(), "Visor");
  EXPECT_EQ(splash->loadingLabel->text(), "Cargando...");
  EXPECT_EQ(splash->resolutionLabel->text(), "Best Viewed at 800 x 600 pixels or higher");
  EXPECT_EQ(Application::Title(), "Visor");
  delete splash;
  Application::SetTitle("Velk's JPEG Viewer");
}

TEST(ShippedLanguages, DefineEveryKeyTheTranslatorsRead) {
  const std::vector<std::string> files = ShippedFiles();
  ASSERT_EQ(files.size(), 3u);
  const std::vector<std::string> keyList = LanguageKeys();
  std::set<std::string> expected(keyList.begin(), keyList.end());
  expected.insert("name");
  std::set<std::string> names;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const ProfileFile language(file);
    EXPECT_EQ(language.ReadSections(), std::vector<std::string>{"Settings"});
    const std::vector<std::string> keys = language.ReadSection("Settings");
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()), expected);
    EXPECT_EQ(keys.size(), expected.size()) << "a key is defined twice";
    for (const std::string& key : keys)
      EXPECT_FALSE(language.ReadString("Settings", key, "").empty()) << key;
    // The loupe's speed menu keeps an access key; the product name stays as it is.
    const std::string speed = language.ReadString("Settings", "106", "");
    EXPECT_EQ(std::count(speed.begin(), speed.end(), '&'), 1);
    EXPECT_EQ(language.ReadString("Settings", "103", ""), "Velk's JPEG Viewer");
    names.insert(language.ReadString("Settings", "name", ""));
  }
  EXPECT_EQ(names, (std::set<std::string>{"Deutsch", "Español", "Français"}));
}

// The real windows, made as the program's entry makes them.
class LanguageWindowsTest : public ::testing::Test {
protected:
  void Start() {
    environment.programFolder = program.folder;
    environment.programPath = program.folder + "velkview";
    environment.hivePath = program.dir.Path() + "/config/hkcu.reg";
    environment.programsFolder = program.dir.Path();
    environment.desktopFolder = program.dir.Path();
    splash = std::make_unique<TSplashForm>();
    splash->closeTimer->stop();  // owned here, not closed by its tick
    TranslateSplash(*splash, program.folder);
    loupe = std::make_unique<TLoupeform>();
    fullscreen = std::make_unique<TFullscreenform>();
    mainform = std::make_unique<TMainform>(settings, loupe.get(), fullscreen.get(), environment);
    options = std::make_unique<TOptions>(*mainform, program.folder);
    mainform->SetOptionsDialog(options.get());
    TranslateOptions(*options, *mainform);
  }
  void TearDown() override {
    options.reset();
    mainform.reset();
    Application::SetTitle("Velk's JPEG Viewer");
  }
  // Every text of the windows that a language can reach.
  QStringList Texts() const {
    QStringList texts{Application::Title()};
    for (QWidget* window : std::initializer_list<QWidget*>{splash.get(), mainform.get(),
                                                            options.get(), loupe.get()})
      for (QWidget* widget : window->findChildren<QWidget*>()) {
        texts << HintOf(widget) << widget->accessibleName();
        if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
        if (auto* button = qobject_cast<TToolbarButton97*>(widget)) texts << button->Hint();
        if (auto* group = qobject_cast<QGroupBox*>(widget)) texts << group->title();
        if (auto* browser = qobject_cast<QTextBrowser*>(widget)) texts << browser->toPlainText();
        if (auto* box = qobject_cast<QComboBox*>(widget))
          for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
        if (auto* tree = qobject_cast<QTreeWidget*>(widget))
          for (QTreeWidgetItemIterator it(tree); *it; ++it) texts << (*it)->text(0);
      }
    for (QAction* item : loupe->findChildren<QAction*>()) texts << item->text();
    for (QAction* item : mainform->actions()) texts << item->text();
    return texts;
  }

  LanguageFolder program;
  MainformEnvironment environment;
  ViewerSettings settings;
  ScopedScriptedDialogs dialogs;
  std::unique_ptr<TSplashForm> splash;
  std::unique_ptr<TLoupeform> loupe;
  std::unique_ptr<TFullscreenform> fullscreen;
  std::unique_ptr<TMainform> mainform;
  std::unique_ptr<TOptions> options;
};

TEST_F(LanguageWindowsTest, TheKeyListIsWhatTheTranslatorsRead) {
  std::string file = "[Settings]\nname=Marks\n";
  for (int key = 0; key < 400; ++key)
    file += std::to_string(key) + "=#" + std::to_string(key) + "#\n";
  program.dir.Write("marks.ldf", file);
  program.Select(program.dir.File("marks.ldf"));
  Start();
  std::set<std::string> read;
  const QRegularExpression mark("#(\\d+)#");
  for (const QString& text : Texts())
    for (auto it = mark.globalMatch(text); it.hasNext();)
      read.insert(it.next().captured(1).toStdString());
  // The conversion's "Cancel" and progress show only while it runs (the Convert page's tests),
  // the status line's openings for a damaged or unreadable picture only with one, the file
  // commands' notices and question only after a command.
  read.insert({"310", "311", "202", "203"});
  for (int key : {327, 328, 329, 330, 331, 332, 333, 338, 341, 342, 343, 344})
    read.insert(std::to_string(key));
  const std::vector<std::string> keys = LanguageKeys();
  EXPECT_EQ(read, std::set<std::string>(keys.begin(), keys.end()));
}

TEST_F(LanguageWindowsTest, AShippedLanguageRelabelsTheWindowsAndEnglishRestoresThem) {
  program.Select(kShipped + "/Deutsch.ldf");
  Start();
  EXPECT_EQ(splash->loadingLabel->text(), "Wird geladen, bitte warten...");
  EXPECT_EQ(mainform->propertiesHeading->text(), "Dateieigenschaften");
  EXPECT_EQ(mainform->zoomBox->itemText(10), "Strecken");
  EXPECT_EQ(loupe->FindItem("Interval1")->text(), "&Geschwindigkeit");
  EXPECT_EQ(options->rememberFileBox->text(), "Dateinamen merken");
  EXPECT_EQ(options->skinBitmapBox->itemText(0), "Hauptfenster-Skin");
  EXPECT_EQ(options->TreeItem(1)->text(0), "Allgemein");
  // First run: the start-up selected "To Fit", which survives the relabelling.
  EXPECT_EQ(mainform->zoomBox->currentIndex(), 9);
  EXPECT_EQ(mainform->zoomBox->currentText(), "Einpassen");
  EXPECT_EQ(Application::Title(), "Velk's JPEG Viewer");

  mainform->zoomBox->setCurrentIndex(10);
  options->languageBox->setCurrentIndex(0);
  emit options->languageBox->activated(0);
  EXPECT_EQ(mainform->propertiesHeading->text(), "File Properties");
  EXPECT_EQ(HintOf(mainform->propertiesHeading), "File Properties:");
  EXPECT_EQ(mainform->zoomBox->currentIndex(), 10);
  EXPECT_EQ(mainform->zoomBox->currentText(), "Stretch");
  EXPECT_EQ(loupe->FindItem("s6")->text(), "Freeze");
  EXPECT_EQ(options->rememberFileBox->text(), "Remember Filename");
  EXPECT_EQ(options->TreeItem(1)->text(0), "General");
  // The splash is not relabelled again.
  EXPECT_EQ(splash->loadingLabel->text(), "Wird geladen, bitte warten...");
}

}  // namespace
}  // namespace velk
