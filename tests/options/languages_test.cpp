// The language row of the General page and the options dialog's texts, against a temporary
// program folder with the dialogs service scripted.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <gtest/gtest.h>

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
  EXPECT_EQ(Entries(options->ComboBox975), QStringList{"English"});
  EXPECT_EQ(options->CheckBox4->text(), "Show/Play Immediately on startup");
  EXPECT_EQ(Label("Label15"), "Container Colour");
  EXPECT_EQ(Label("Label27"), "Plugins Directory");
  EXPECT_EQ(options->ComboBox972->itemText(2), "Clear Toolbar Button  Glyph");
  EXPECT_EQ(options->RadioGroup1->Items(),
            (QStringList{"16 Colours", "256 Colours", "True Colour"}));
  EXPECT_EQ(Label("URLLabel2"), QString("Email: ") + kEmailAddress);
  EXPECT_EQ(static_cast<TToolbarButton97*>(options->FindComponent("ToolbarButton977"))->Hint(),
            "Remove plugin");
}

TEST_F(LanguagesTest, AddingALanguageWritesItsKeysAndRelabelsKeepingTheSelections) {
  dir.Write("farben.ldf", "[Settings]\nname=Deutsch\n49=Farben\n");
  Create();
  host.zoom = 9;
  options->ComboBox972->setCurrentIndex(3);
  options->RadioGroup1->SetItemIndex(1);
  host.calls.clear();
  dialogs->fileAnswers.push_back({dir.File("farben.ldf")});
  options->ToolbarButton9722->click();
  ASSERT_EQ(dialogs->fileBoxes.size(), 1u);
  EXPECT_EQ(dialogs->fileBoxes[0].filter, "Language Definition File|*.ldf");
  EXPECT_EQ(Languages("language1"), dir.File("farben.ldf"));
  EXPECT_EQ(Languages("name1"), "Deutsch");
  EXPECT_EQ(Languages("current"), "1");
  EXPECT_EQ(Languages("number"), "2");
  EXPECT_EQ(Entries(options->ComboBox975), (QStringList{"English", "Deutsch"}));
  // Only key 49 is defined: the first two entries change, everything else stays English.
  EXPECT_EQ(options->RadioGroup1->Items(),
            (QStringList{"16 Farben", "256 Farben", "True Colour"}));
  EXPECT_EQ(options->RadioGroup1->ItemIndex(), 1);
  EXPECT_EQ(options->CheckBox3->text(), "Remember Filename");
  EXPECT_EQ(options->ComboBox972->currentIndex(), 3);
  EXPECT_EQ(host.zoom, 9);
  EXPECT_EQ(host.calls.front(), "TranslateMainWindow");

  // No duplicate check; then back to English through the box.
  dialogs->fileAnswers.push_back({dir.File("farben.ldf")});
  options->ToolbarButton9722->click();
  EXPECT_EQ(Entries(options->ComboBox975), (QStringList{"English", "Deutsch", "Deutsch"}));
  EXPECT_EQ(Languages("number"), "3");
  options->ComboBox975->setCurrentIndex(0);
  emit options->ComboBox975->activated(0);
  EXPECT_EQ(Languages("current"), "0");
  EXPECT_EQ(options->RadioGroup1->Items().first(), "16 Colours");
}

TEST_F(LanguagesTest, AMissingFileOrNameFallsBackToEnglishAndNone) {
  dir.Write("plugins.ini",
            "[Languages]\nnumber=2\ncurrent=1\nname1=Gone\nlanguage1=/nowhere/gone.ldf\n");
  dir.Write("nameless.ldf", "[Settings]\n40=Dateiname merken\n");
  Create();
  EXPECT_EQ(Entries(options->ComboBox975), (QStringList{"English", "Gone"}));
  EXPECT_EQ(options->ComboBox975->currentIndex(), 1);
  EXPECT_EQ(options->CheckBox3->text(), "Remember Filename");

  dialogs->fileAnswers.push_back({dir.File("nameless.ldf")});
  options->ToolbarButton9722->click();
  EXPECT_EQ(options->ComboBox975->currentText(), "(none)");
  EXPECT_EQ(options->CheckBox3->text(), "Dateiname merken");
}

}  // namespace
}  // namespace velk
