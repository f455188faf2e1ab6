// The language row of the General page and the options dialog's texts, against a temporary
// program folder with the dialogs service scripted.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>

#include "chrome/color_combo_box.h"

#include "options/about_page.h"
#include "options/fake_options_host.h"
#include "options/languages.h"
#include "options/options_form.h"
#include "options/radio_group.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

class LanguagesTest : public ::testing::Test {
protected:
  LanguagesTest() { host.settings.SetFirstRunDefaults(folder); }
  void Create() {
    options = std::make_unique<TOptions>(host, folder);
    TranslateOptions(*options, host);
    host.calls.clear();
  }
  QStringList Entries(QComboBox* box) const {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
  QString Label(const char* name) const {
    return static_cast<QLabel*>(options->FindComponent(name))->text();
  }
  std::string Languages(const std::string& key) const {
    return ProfileFile(folder + "plugins.ini").ReadString("Languages", key, "<missing>");
  }

  test::TempDir dir;
  std::string folder = dir.Path() + "/";
  test::FakeOptionsHost host;
  ScopedScriptedDialogs dialogs;
  std::unique_ptr<TOptions> options;
};

TEST_F(LanguagesTest, WithoutLanguagesEveryTextIsTheEnglishDefault) {
  Create();
  EXPECT_EQ(Entries(options->languageBox), QStringList{"English"});
  EXPECT_EQ(options->showOnStartBox->text(), "Show/Play Immediately on startup");
  EXPECT_EQ(Label("Label15"), "Container Colour");
  EXPECT_EQ(Label("Label27"), "Plugins Directory");
  EXPECT_EQ(options->skinBitmapBox->itemText(2), "Clear Toolbar Button  Glyph");
  EXPECT_EQ(options->coloursGroup->Items(),
            (QStringList{"16 Colours", "256 Colours", "True Colour"}));
  EXPECT_EQ(Label("URLLabel2"), QString("Email: ") + kEmailAddress);
  EXPECT_EQ(static_cast<TToolbarButton97*>(options->FindComponent("ToolbarButton977"))->Hint(),
            "Remove plugin");
}

TEST_F(LanguagesTest, AddingALanguageWritesItsKeysAndRelabelsKeepingTheSelections) {
  dir.Write("farben.ldf", "[Settings]\nname=Deutsch\n49=Farben\n");
  Create();
  host.zoom = 9;
  options->skinBitmapBox->setCurrentIndex(3);
  options->coloursGroup->SetItemIndex(1);
  host.calls.clear();
  dialogs->fileAnswers.push_back({dir.File("farben.ldf")});
  options->addLanguageButton->click();
  ASSERT_EQ(dialogs->fileBoxes.size(), 1u);
  EXPECT_EQ(dialogs->fileBoxes[0].filter, "Language Definition File|*.ldf");
  EXPECT_EQ(Languages("language1"), dir.File("farben.ldf"));
  EXPECT_EQ(Languages("name1"), "Deutsch");
  EXPECT_EQ(Languages("current"), "1");
  EXPECT_EQ(Languages("number"), "2");
  EXPECT_EQ(Entries(options->languageBox), (QStringList{"English", "Deutsch"}));
  // Only key 49 is defined: the first two entries change, everything else stays English.
  EXPECT_EQ(options->coloursGroup->Items(),
            (QStringList{"16 Farben", "256 Farben", "True Colour"}));
  EXPECT_EQ(options->coloursGroup->ItemIndex(), 1);
  EXPECT_EQ(options->rememberFileBox->text(), "Remember Filename");
  EXPECT_EQ(options->skinBitmapBox->currentIndex(), 3);
  EXPECT_EQ(host.zoom, 9);
  EXPECT_EQ(host.calls.front(), "TranslateMainWindow");

  // No duplicate check; then back to English through the box.
  dialogs->fileAnswers.push_back({dir.File("farben.ldf")});
  options->addLanguageButton->click();
  EXPECT_EQ(Entries(options->languageBox), (QStringList{"English", "Deutsch", "Deutsch"}));
  EXPECT_EQ(Languages("number"), "3");
  options->languageBox->setCurrentIndex(0);
  emit options->languageBox->activated(0);
  EXPECT_EQ(Languages("current"), "0");
  EXPECT_EQ(options->coloursGroup->Items().first(), "16 Colours");
}

TEST_F(LanguagesTest, AMissingFileOrNameFallsBackToEnglishAndNone) {
  dir.Write("plugins.ini",
            "[Languages]\nnumber=2\ncurrent=1\nname1=Gone\nlanguage1=/nowhere/gone.ldf\n");
  dir.Write("nameless.ldf", "[Settings]\n40=Dateiname merken\n");
  Create();
  EXPECT_EQ(Entries(options->languageBox), (QStringList{"English", "Gone"}));
  EXPECT_EQ(options->languageBox->currentIndex(), 1);
  EXPECT_EQ(options->rememberFileBox->text(), "Remember Filename");

  dialogs->fileAnswers.push_back({dir.File("nameless.ldf")});
  options->addLanguageButton->click();
  EXPECT_EQ(options->languageBox->currentText(), "(none)");
  EXPECT_EQ(options->rememberFileBox->text(), "Dateiname merken");
}

// A damaged count cannot keep the dialog filling its box: no entry past the section's keys
// can have a name.
TEST_F(LanguagesTest, AHugeLanguageCountListsOnlyWhatTheSectionCanHold) {
  dir.Write("plugins.ini", "[Languages]\nnumber=2000000000\ncurrent=1\nname1=Gone\n");
  Create();
  EXPECT_EQ(Entries(options->languageBox), (QStringList{"English", "Gone", "", ""}));
}

TEST_F(LanguagesTest, AFileThatIsNotUtf8IsReadInTheWindowsCodePage) {
  const std::pair<std::string, QString> cases[] = {
      {"[Settings]\n40=G\xe9n\xe9ral \x80 5\n", QString::fromUtf8("G\u00e9n\u00e9ral \u20ac 5")},
      {"[Settings]\n40=G\xc3\xa9n\xc3\xa9ral\n", QString::fromUtf8("G\u00e9n\u00e9ral")},
  };
  for (const auto& [bytes, text] : cases) {
    dir.Write("old.ldf", bytes);
    dir.Write("plugins.ini", "[Languages]\nnumber=2\ncurrent=1\nname1=Old\nlanguage1=" +
                                 dir.File("old.ldf") + "\n");
    const LanguageTexts texts(folder);
    // Read once, when made: asking for every text costs no further pass over the file.
    std::filesystem::remove(dir.File("old.ldf"));
    EXPECT_EQ(texts("40", "Remember Filename"), text);
    EXPECT_EQ(texts("41", "Show/Play"), "Show/Play");  // a missing key keeps its English
  }
}

TEST_F(LanguagesTest, ListAndPluginButtonsAreGlyphsWithTranslatedHints) {
  const std::string german = std::string(VELK_LANGUAGES_DIR) + "/Deutsch.ldf";
  dir.Write("plugins.ini", "[Languages]\nnumber=2\ncurrent=1\nname1=Deutsch\nlanguage1=" + german +
                               "\n");
  Create();
  const ProfileFile texts(german);
  const std::pair<const char*, const char*> kButtons[] = {
      {"ToolbarButton977", "123"},  {"ToolbarButton978", "124"},  {"ToolbarButton979", "125"},
      {"ToolbarButton9710", "126"}, {"ToolbarButton971", "119"},  {"ToolbarButton972", "120"},
      {"ToolbarButton976", "121"},  {"ToolbarButton9718", "114"}, {"ToolbarButton9719", "115"},
      {"ToolbarButton9720", "116"}, {"ToolbarButton9721", "117"}, {"ToolbarButton9717", "118"}};
  for (const auto& [name, key] : kButtons) {
    SCOPED_TRACE(name);
    auto* button = static_cast<TToolbarButton97*>(options->FindComponent(name));
    EXPECT_TRUE(button->Caption().isEmpty());
    EXPECT_FALSE(button->Glyph().isNull());
    const std::string hint = texts.ReadString("Settings", key, "");
    ASSERT_FALSE(hint.empty());
    EXPECT_EQ(button->Hint().toStdString(), hint);
  }
}

// The texts of a widget that do not fit in it: a label, button or group title wider than its
// control, a combo box entry wider than the box's text field.
QStringList ClippedTexts(QWidget* widget) {
  const QFontMetrics metrics = widget->fontMetrics();
  // What the parent does not cut off.
  const int shown = std::min(widget->width(), widget->parentWidget()->width() - widget->x());
  QStringList clipped;
  if (shown <= 0) return clipped;  // out of sight on purpose (the volume page's spare controls)
  auto check = [&](const QString& text, int needed, int room) {
    if (!text.isEmpty() && needed > room)
      clipped << QString("%1 \"%2\" needs %3, has %4")
                     .arg(widget->objectName(), text).arg(needed).arg(room);
  };
  if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap()) {
    const QString text = label->textFormat() == Qt::RichText ? QString() : label->text();
    check(text, metrics.horizontalAdvance(text),
          label->contentsRect().width() - (label->width() - shown));
  } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    check(box->title(), metrics.horizontalAdvance(box->title()) + 12, shown);
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    check(button->text(), metrics.horizontalAdvance(button->text()) + 8, shown);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    check(button->text(), button->sizeHint().width(), shown);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && !combo->isEditable()) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    const int room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, combo).width();
    const int swatch = qobject_cast<TColorComboBox*>(combo) ? 28 : 0;  // names after a swatch
    for (int i = 0; i < combo->count(); ++i)
      check(combo->itemText(i), swatch + metrics.horizontalAdvance(combo->itemText(i)), room);
  } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
      int depth = 0;
      for (QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent()) ++depth;
      const QString text = (*it)->text(0);
      check(text, (depth + 1) * tree->indentation() + metrics.horizontalAdvance(text) + 4,
            tree->viewport()->width());
    }
  }
  return clipped;
}

// Every page of the dialog in English and in each language file of the program, each text
// whole. VELK_SCREENSHOTS=DIR saves the pages there for a look.
TEST_F(LanguagesTest, NoPageClipsATextInAnyLanguage) {
  const QString shots = qEnvironmentVariable("VELK_SCREENSHOTS");
  QStringList languages{"English"};
  for (const QString& file : QDir(VELK_LANGUAGES_DIR).entryList({"*.ldf"}, QDir::Files))
    languages << QString(VELK_LANGUAGES_DIR) + "/" + file;
  ASSERT_EQ(languages.size(), 4);
  for (const QString& language : languages) {
    SCOPED_TRACE(language.toStdString());
    if (language != "English")
      dir.Write("plugins.ini", "[Languages]\nnumber=2\ncurrent=1\nname1=Language\nlanguage1=" +
                                   language.toStdString() + "\n");
    Create();
    options->convertFormatBox->setCurrentIndex(1);  // JPEG: the quality slider shows too
    emit options->convertFormatBox->activated(1);
    options->show();
    for (int page = 0; page <= 10; ++page) {
      options->ShowPage(page);
      QStringList clipped;
      for (QWidget* widget : options->findChildren<QWidget*>())
        if (widget->isVisible()) clipped << ClippedTexts(widget);
      EXPECT_TRUE(clipped.isEmpty()) << "page " << page << ":\n"
                                     << clipped.join("\n").toStdString();
      if (!shots.isEmpty())
        options->grab().save(QString("%1/options-%2-%3.png")
                                 .arg(shots, QFileInfo(language).baseName())
                                 .arg(page, 2, 10, QChar('0')));
    }
    options.reset();
  }
}

}  // namespace
}  // namespace velk
