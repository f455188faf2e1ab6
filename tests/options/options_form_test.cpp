#include "options/options_form.h"

#include <QCheckBox>
#include <filesystem>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "options/fake_options_host.h"
#include "options/radio_group.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

using Calls = std::vector<std::string>;

class OptionsFormTest : public ::testing::Test {
protected:
  OptionsFormTest() {
    host.settings.SetFirstRunDefaults(folder);
    host.settings.Zoom = 4;
    host.settings.Filename = 2;
  }
  std::unique_ptr<TOptions> Create() { return std::make_unique<TOptions>(host, folder); }
  std::vector<int> VisiblePages(const TOptions& options) const {
    std::vector<int> shown;
    for (int i = 0; i < 10; ++i)
      if (!options.Panels[i]->isHidden()) shown.push_back(i + 1);
    return shown;
  }

  test::TempDir dir;
  std::string folder = dir.Path() + "/";
  test::FakeOptionsHost host;
  ScopedScriptedDialogs dialogs;
  // One mixer device whatever the machine has, so the volume page raises no message.
  ScopedMixerSystem mixers{SilentMixerSystem()};
};

TEST_F(OptionsFormTest, CreationPushesTheSettingsIntoTheControlsThenCompletesStartUp) {
  host.settings.Dither = 1;
  host.settings.Colours = 1;
  host.settings.Grey = true;
  auto options = Create();
  // The clicks of the changed controls come first, in control order, then zoom, file, show.
  EXPECT_EQ(host.calls, (Calls{"ComboBox1Change", "FileListBox1Change", "FileListBox1Change",
                               "SetZoomIndex 4", "SetFileIndex 2", "FileListBox1Change"}));
  EXPECT_EQ(options->ditherGroup->ItemIndex(), 1);
  EXPECT_EQ(options->coloursGroup->ItemIndex(), 1);
  EXPECT_TRUE(options->greyBox->isChecked());
  EXPECT_EQ(host.jpeg.NumOfColors(), TNumOfColors::_256);
  EXPECT_TRUE(host.jpeg.GrayScale());
  EXPECT_EQ(host.zoom, 4);
  EXPECT_EQ(host.file, 2);
  EXPECT_TRUE(options->isHidden());
}

TEST_F(OptionsFormTest, CreationShowsTheFileOnlyWhenShowPlaySurvivesRememberFilename) {
  struct Case { bool fileIndex, showstart, shown; };
  for (const Case c : {Case{true, true, true}, Case{true, false, false},
                       Case{false, true, false}, Case{false, false, false}}) {
    host.calls.clear();
    host.settings.FileIndex = c.fileIndex;
    host.settings.Showstart = c.showstart;
    auto options = Create();  // design states of the groups and Grey: no clicks
    Calls expected{"SetZoomIndex 4", "SetFileIndex 2"};
    if (c.shown) expected.push_back("FileListBox1Change");
    EXPECT_EQ(host.calls, expected) << c.fileIndex << c.showstart;
    EXPECT_EQ(options->showOnStartBox->isEnabled(), c.fileIndex);
    EXPECT_EQ(options->showOnStartBox->isChecked(), c.shown);
  }
}

TEST_F(OptionsFormTest, CreationTakesThePluginsFolderAndSetsUpTheWorkingPicture) {
  {
    auto options = Create();  // no plugins.ini: the default folder
    EXPECT_EQ(host.settings.pluginsFolder, folder + "plugins/");
  }
  dir.Write("plugins.ini", "[Settings]\nPlugins=0\nPlugindir=/opt/velk plugins/\n");
  auto options = Create();
  EXPECT_EQ(host.settings.pluginsFolder, "/opt/velk plugins/");
  EXPECT_EQ(options->pluginFolderEdit->text(), "/opt/velk plugins/");
  EXPECT_TRUE(options->pluginFolderEdit->isReadOnly());
  EXPECT_EQ(options->workingPicture->Quality(), 75);
  EXPECT_EQ(options->workingPicture->NumOfColors(), TNumOfColors::_256);
  EXPECT_TRUE(options->workingPicture->isHidden());
  EXPECT_EQ(options->qualitySlider->value(), 7);
}

TEST_F(OptionsFormTest, RememberFilenameEnablesShowPlayButNeverChecksIt) {
  auto options = Create();
  ASSERT_TRUE(options->showOnStartBox->isChecked());
  options->rememberFileBox->click();
  EXPECT_FALSE(options->showOnStartBox->isEnabled());
  EXPECT_FALSE(options->showOnStartBox->isChecked());
  options->rememberFileBox->click();
  EXPECT_TRUE(options->showOnStartBox->isEnabled());
  EXPECT_FALSE(options->showOnStartBox->isChecked());
}

TEST_F(OptionsFormTest, TreeItemsNamePagesByDepthFirstPosition) {
  auto options = Create();
  const QStringList texts{"Options", "General", "JPEG", "Volume", "Skins Manager", "Colours",
                          "Bitmaps", "Plugins Manager", "Convert", "Slide Show", "About"};
  for (int i = 0; i < texts.size(); ++i) EXPECT_EQ(options->TreeItem(i)->text(0), texts[i]);
  EXPECT_EQ(options->TreeItem(11), nullptr);
  EXPECT_EQ(options->TreeItem(5)->parent(), options->TreeItem(4));

  for (int i = 1; i <= 10; ++i) {
    options->pageTree->setCurrentItem(options->TreeItem(i));
    EXPECT_EQ(VisiblePages(*options), std::vector<int>{i});
  }
  options->pageTree->setCurrentItem(options->TreeItem(0));
  EXPECT_TRUE(VisiblePages(*options).empty());
}

TEST_F(OptionsFormTest, ShowPageOpensTheDialogOnThatPage) {
  auto options = Create();
  options->ShowPage(10);
  EXPECT_TRUE(options->isVisible());
  EXPECT_EQ(options->SelectedNode(), 10);
  EXPECT_EQ(VisiblePages(*options), std::vector<int>{10});
  EXPECT_EQ(options->Version->text(), "Version 0.91");
  options->ShowPage(3);
  EXPECT_EQ(VisiblePages(*options), std::vector<int>{3});
}

TEST_F(OptionsFormTest, GreyAndColoursReshowTheFileAtOnceButDitherWaitsForTheNextLoad) {
  auto options = Create();
  host.calls.clear();
  options->greyBox->click();
  EXPECT_TRUE(host.jpeg.GrayScale());
  options->coloursGroup->Button(1)->click();
  EXPECT_EQ(host.jpeg.NumOfColors(), TNumOfColors::_256);
  EXPECT_EQ(host.calls, (Calls{"FileListBox1Change", "FileListBox1Change"}));

  host.calls.clear();
  const TDither before = host.jpeg.Dither();
  options->ditherGroup->Button(1)->click();
  EXPECT_EQ(host.settings.Dither, 1);
  EXPECT_EQ(host.jpeg.Dither(), before);
  EXPECT_EQ(host.calls, Calls{"ComboBox1Change"});
  // Grey and Colours reach the settings only when the main window closes.
  EXPECT_FALSE(host.settings.Grey);
  EXPECT_EQ(host.settings.Colours, 2);
}

TEST_F(OptionsFormTest, TheCloseBoxSavesExactlyLikeOk) {
  dir.Write("plugins.ini", "[Settings]\nPlugins=0\nPlugindir=/opt/plugins/\n");
  dir.Write("skins.ini", "[Current]\nColor2=255\nMain Form Skin=/x.bmp\n");
  auto options = Create();
  options->SetSchemeColour(6, 32768);
  options->show();
  options->okButton->click();
  EXPECT_FALSE(options->isVisible());
  const std::string skinsAfterOk = dir.Read("skins.ini");
  const std::string pluginsAfterOk = dir.Read("plugins.ini");

  const ProfileFile skins(dir.File("skins.ini"));
  EXPECT_EQ(skins.ReadString("Settings", "Current Scheme", ""), "Current");
  EXPECT_EQ(skins.ReadSection("Current"),
            (std::vector<std::string>{"Color2", "Main Form Skin", "Color1", "Color3", "Color4",
                                      "Color5", "Color7", "Color8", "Color10"}));
  EXPECT_EQ(skins.ReadString("Current", "Color2", ""), "255");  // read at creation, kept
  EXPECT_EQ(skins.ReadString("Current", "Color8", ""), "32768");
  EXPECT_EQ(skins.ReadString("Current", "Color1", ""), "16777215");
  EXPECT_EQ(ProfileFile(dir.File("plugins.ini")).ReadString("Settings", "Plugindir", ""),
            "/opt/plugins/");

  dir.Write("skins.ini", "[Current]\nColor2=255\nMain Form Skin=/x.bmp\n");
  dir.Write("plugins.ini", "[Settings]\nPlugins=0\nPlugindir=/opt/plugins/\n");
  options->show();
  options->close();
  EXPECT_FALSE(options->isVisible());
  EXPECT_EQ(dir.Read("skins.ini"), skinsAfterOk);
  EXPECT_EQ(dir.Read("plugins.ini"), pluginsAfterOk);
}

TEST_F(OptionsFormTest, RestoreAnsweredNoChangesNothing) {
  auto options = Create();
  const std::string skinsBefore = dir.Read("skins.ini");
  host.zoom = 7;
  host.calls.clear();
  dialogs->answers.push_back(MessageAnswer::No);
  options->restoreDefaultsButton->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, "Do you wish to restore the default settings?");
  EXPECT_EQ(dialogs->messages[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(host.zoom, 7);
  EXPECT_EQ(dir.Read("skins.ini"), skinsBefore);
}

TEST_F(OptionsFormTest, RestoreWritesTheDefaultSkinAndRunsTheReducedCreation) {
  dir.Write("plugins.ini", "[Settings]\nPlugindir=/opt/plugins/\n");
  dir.Write("skins.ini", "[Current]\nColor1=5\nColor6=9\n");
  auto options = Create();
  EXPECT_EQ(options->SchemeColours()[0], 5);
  // What the reduced run must not take again: settings and plugins folder.
  host.settings.Grey = true;
  dir.Write("plugins.ini", "[Settings]\nPlugindir=/elsewhere/\n");
  host.zoom = 7;
  host.calls.clear();
  options->restoreDefaultsButton->click();

  const ProfileFile skins(dir.File("skins.ini"));
  const std::vector<std::string> keys{
      "Color1", "Color6", "Color2", "Color3", "Color4", "Color5", "Color7", "Color8", "Color10",
      "Main Form Skin", "Open Toolbar Button Glyph", "Clear Toolbar Button Glyph",
      "Refresh Toolbar Button Glyph", "Full Screen Toolbar Button Glyph",
      "Options Toolbar Button Glyph", "Volume Toolbar Button Glyph",
      "Loupe Toolbar Button Glyph", "About Toolbar Button Glyph", "Convert Toolbar Button Glyph",
      "Slide Show Toolbar Button Glyph", "Skins Toolbar Button Glyph",
      "Plugin Toolbar Button Glyph"};
  EXPECT_EQ(skins.ReadSection("Current"), keys);
  EXPECT_EQ(skins.ReadSections(), std::vector<std::string>{"Current"});
  const std::vector<std::string> colours{"16777215", "9", "0", "0", "16777215", "0", "0",
                                         "12632256", "0"};
  for (size_t i = 0; i < colours.size(); ++i)
    EXPECT_EQ(skins.ReadString("Current", keys[i], ""), colours[i]) << keys[i];
  EXPECT_EQ(skins.ReadString("Current", "Main Form Skin", ""), folder + "skins/vlkskin1.bmp");
  EXPECT_EQ(skins.ReadString("Current", "About Toolbar Button Glyph", ""),
            folder + "skins/smallsmiley.bmp");
  EXPECT_EQ(skins.ReadString("Current", "Plugin Toolbar Button Glyph", ""),
            folder + "skins/plugin.bmp");
  EXPECT_EQ(options->SchemeColours()[0], 16777215);

  // Zoom and file back to the start-up values and the file shown, then the user's zoom again.
  EXPECT_EQ(host.calls, (Calls{"SetZoomIndex 4", "SetFileIndex 2", "FileListBox1Change",
                               "SetZoomIndex 7"}));
  EXPECT_FALSE(options->greyBox->isChecked());
  EXPECT_EQ(host.settings.pluginsFolder, "/opt/plugins/");
}

}  // namespace
}  // namespace velk
