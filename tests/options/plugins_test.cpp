// The Plugins Manager page against a temporary program folder, with real plugin libraries and
// the dialogs service scripted.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/start_plugin.h"
#include "options/fake_options_host.h"
#include "options/options_form.h"
#include "options/plugins_page.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"
#include "widgets/toolbar_button.h"

#include "colour_format.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

// Runs plugins for real, as the main window does.
class PluginHost : public test::FakeOptionsHost {
public:
  void StartPlugin(const std::string& library, const std::string& procedure) override {
    velk::StartPlugin(library, procedure);
  }
};

class PluginsPageTest : public ::testing::Test {
protected:
  PluginsPageTest() {
    host.settings.SetFirstRunDefaults(folder);
    ::unsetenv("VELK_TEST_PLUGIN");
  }

  // A plugin folder under plugins/ holding a copy of a library and its description.
  std::string Install(const std::string& name, const std::string& version,
                      const std::string& directory, const char* library = VELK_TEST_PLUGIN) {
    const fs::path at = fs::path(folder) / "plugins" / directory;
    fs::create_directories(at);
    fs::copy_file(library, at / (directory + ".so"), fs::copy_options::overwrite_existing);
    ProfileFile pcf((at / "plugin.pcf").string());
    pcf.WriteString("Settings", "Name", name);
    pcf.WriteString("Settings", "Filename", directory + ".so");
    pcf.WriteString("Settings", "Directory", directory + "/");
    pcf.WriteString("Settings", "Version", version);
    return (at / "plugin.pcf").string();
  }
  // Installs and registers plugins as a previous run would have left them.
  void Register(const std::vector<std::string>& names) {
    ProfileFile ini(folder + "plugins.ini");
    ini.WriteInteger("Settings", "Plugins", static_cast<int>(names.size()));
    for (size_t i = 0; i < names.size(); ++i) {
      Install(names[i], std::to_string(i + 1) + ".0", names[i]);
      const std::string section = "Plugin" + std::to_string(i);
      ini.WriteString(section, "Name", names[i]);
      ini.WriteString(section, "Filename", names[i] + ".so");
      ini.WriteString(section, "Directory", names[i] + "/");
      ini.WriteString(section, "Version", std::to_string(i + 1) + ".0");
    }
  }
  void Create() {
    options = std::make_unique<TOptions>(host, folder);
    page = options->PluginsPage;
    dialogs->messages.clear();  // whatever the creation reported (no mixer here)
  }
  QStringList ListItems() const {
    QStringList items;
    for (int i = 0; i < page->pluginBox->count(); ++i) items << page->pluginBox->itemText(i);
    return items;
  }
  // The five buttons and four fields, enabled or not, in the order of their composed names.
  std::vector<bool> Enabled() const {
    return {page->removeButton->isEnabled(), page->addButton->isEnabled(),
            page->propertiesButton->isEnabled(), page->startButton->isEnabled(),
            page->applyButton->isEnabled(), page->nameEdit->isEnabled(),
            page->fileNameEdit->isEnabled(), page->folderEdit->isEnabled(),
            page->versionEdit->isEnabled()};
  }
  std::string Ini(const std::string& section, const std::string& key) const {
    return ProfileFile(folder + "plugins.ini").ReadString(section, key, "<missing>");
  }
  void Select(int index) {
    page->pluginBox->setCurrentIndex(index);
    emit page->pluginBox->activated(index);
  }

  test::TempDir dir;
  std::string folder = dir.Path() + "/";
  PluginHost host;
  ScopedScriptedDialogs dialogs;
  std::unique_ptr<TOptions> options;
  TPluginsPage* page = nullptr;
};

const std::vector<bool> kAllEnabled(9, true);
const std::vector<bool> kOnlyAdd = {false, true, false, false, false, false, false, false, false};

TEST_F(PluginsPageTest, WithoutPluginsOnlyAddWorksAndTheFirstAddRestoresTheSeparator) {
  Create();
  EXPECT_EQ(host.pluginItems, QStringList{"Plugins Manager"});
  EXPECT_FALSE(page->pluginBox->isEnabled());
  EXPECT_EQ(Enabled(), kOnlyAdd);

  const std::string pcf = Install("Sample", "1.0", "sample");
  dialogs->fileAnswers.push_back({pcf});
  page->addButton->click();
  ASSERT_EQ(dialogs->fileBoxes.size(), 1u);
  EXPECT_EQ(dialogs->fileBoxes[0].filter, "Plugin Configuration Files|*.pcf");
  EXPECT_EQ(dialogs->fileBoxes[0].initialDir, folder + "plugins");
  EXPECT_TRUE(dialogs->messages.empty());

  EXPECT_EQ(host.pluginItems, (QStringList{"Plugins Manager", "-", "Sample - 1.0"}));
  EXPECT_EQ(ListItems(), QStringList{"Sample"});
  EXPECT_TRUE(page->pluginBox->isEnabled());
  EXPECT_EQ(Enabled(), kAllEnabled);
  EXPECT_EQ(options->PluginCount(), 1);
  EXPECT_EQ(Ini("Settings", "Plugins"), "1");
  EXPECT_EQ(Ini("Plugin0", "Name"), "Sample");
  EXPECT_EQ(Ini("Plugin0", "Filename"), "sample.so");
  EXPECT_EQ(Ini("Plugin0", "Directory"), "sample/");
  EXPECT_EQ(Ini("Plugin0", "Version"), "1.0");
  EXPECT_EQ(ProfileFile(pcf).ReadString("Settings", "Installed", ""), "1");
  // Adding alone puts its own separator between folder and file.
  EXPECT_EQ(page->LibraryPath(), folder + "plugins/sample//sample.so");
}

TEST_F(PluginsPageTest, LoadedPluginsFillTheListTheDropDownAndTheFieldsOfTheFirst) {
  Register({"alpha", "beta"});
  Create();
  EXPECT_EQ(ListItems(), (QStringList{"alpha", "beta"}));
  EXPECT_EQ(host.pluginItems,
            (QStringList{"Plugins Manager", "-", "alpha - 1.0", "beta - 2.0"}));
  EXPECT_EQ(Enabled(), kAllEnabled);
  EXPECT_EQ(page->nameEdit->text(), "alpha");
  EXPECT_EQ(page->LibraryPath(), folder + "plugins/alpha/alpha.so");
  options->ShowPage(7);
  options->grab().save("/tmp/velk-plugins-page.png");

  Select(1);
  EXPECT_EQ(page->nameEdit->text(), "beta");
  EXPECT_EQ(page->fileNameEdit->text(), "beta.so");
  EXPECT_EQ(page->folderEdit->text(), "beta/");
  EXPECT_EQ(page->versionEdit->text(), "2.0");
  EXPECT_EQ(page->LibraryPath(), folder + "plugins/beta/beta.so");
}

TEST_F(PluginsPageTest, RemovingTheMiddleOfThreeRenumbersTheSections) {
  Register({"alpha", "beta", "gamma"});
  Create();
  Select(1);
  dialogs->answers.push_back(MessageAnswer::Yes);
  page->removeButton->click();
  EXPECT_EQ(dialogs->Texts(),
            std::vector<std::string>{"Are you sure you want to remove this plugin?"});
  EXPECT_EQ(ListItems(), (QStringList{"alpha", "gamma"}));
  EXPECT_EQ(host.pluginItems,
            (QStringList{"Plugins Manager", "-", "alpha - 1.0", "gamma - 3.0"}));
  EXPECT_EQ(Ini("Plugin1", "Name"), "gamma");
  EXPECT_EQ(Ini("Plugin1", "Directory"), "gamma/");
  EXPECT_EQ(Ini("Plugin1", "Version"), "3.0");
  EXPECT_FALSE(ProfileFile(folder + "plugins.ini").SectionExists("Plugin2"));
  EXPECT_EQ(Ini("Settings", "Plugins"), "2");
  // Unmarked, not deleted.
  const std::string removed = folder + "plugins/beta/";
  EXPECT_EQ(ProfileFile(removed + "plugin.pcf").ReadString("Settings", "Installed", ""), "0");
  EXPECT_TRUE(fs::exists(removed + "beta.so"));
  EXPECT_EQ(page->pluginBox->currentIndex(), 0);
  EXPECT_EQ(page->nameEdit->text(), "alpha");
}

TEST_F(PluginsPageTest, AnEntryWhoseFolderIsGoneIsRemovedAllTheSame) {
  Register({"alpha", "beta"});
  fs::remove_all(folder + "plugins/alpha");
  Create();
  dialogs->answers.push_back(MessageAnswer::Yes);
  page->removeButton->click();
  EXPECT_EQ(dialogs->Texts(),
            std::vector<std::string>{"Are you sure you want to remove this plugin?"});
  EXPECT_EQ(ListItems(), QStringList{"beta"});
  EXPECT_EQ(Ini("Plugin0", "Name"), "beta");
  EXPECT_EQ(Ini("Settings", "Plugins"), "1");
  EXPECT_FALSE(fs::exists(folder + "plugins/alpha"));  // no folder made for the mark
}

TEST_F(PluginsPageTest, RemovingTheLastPluginEmptiesThePageAndTheDropDown) {
  Register({"alpha"});
  Create();
  dialogs->answers.push_back(MessageAnswer::No);
  page->removeButton->click();
  EXPECT_EQ(ListItems(), QStringList{"alpha"});

  page->removeButton->click();  // the script answers Yes
  EXPECT_TRUE(ListItems().isEmpty());
  EXPECT_EQ(host.pluginItems, QStringList{"Plugins Manager"});
  EXPECT_EQ(Enabled(), kOnlyAdd);
  EXPECT_FALSE(page->pluginBox->isEnabled());
  EXPECT_EQ(page->nameEdit->text(), "");
  EXPECT_EQ(Ini("Settings", "Plugins"), "0");
  EXPECT_FALSE(ProfileFile(folder + "plugins.ini").SectionExists("Plugin0"));
}

TEST_F(PluginsPageTest, AddingAListedNameAsksToReinstallWhicheverEntryWasSelected) {
  Register({"alpha", "beta"});
  Create();
  Select(1);
  const std::string pcf = folder + "plugins/alpha/plugin.pcf";
  dialogs->fileAnswers.push_back({pcf});
  dialogs->answers.push_back(MessageAnswer::No);
  page->addButton->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MessageKind::Information);
  EXPECT_EQ(dialogs->messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(dialogs->messages[0].text,
            "This plugin has already been installed.\nDo you wish to reinstall this plugin?");
  EXPECT_EQ(ListItems(), (QStringList{"alpha", "beta"}));
  EXPECT_EQ(page->pluginBox->currentIndex(), 0);  // where the scan ended
  EXPECT_EQ(Ini("Settings", "Plugins"), "2");

  dialogs->fileAnswers.push_back({pcf});
  page->addButton->click();  // Yes
  EXPECT_EQ(ListItems(), (QStringList{"alpha", "beta", "alpha"}));
  EXPECT_EQ(page->pluginBox->currentIndex(), 2);
  EXPECT_EQ(host.pluginItems.size(), 5);
  EXPECT_EQ(Ini("Plugin2", "Name"), "alpha");
  EXPECT_EQ(Ini("Settings", "Plugins"), "3");
}

TEST_F(PluginsPageTest, AddStopsSilentlyOnCancelOrAMissingLibrary) {
  Create();
  page->addButton->click();  // no file chosen
  const std::string pcf = Install("Ghost", "0.1", "ghost");
  fs::remove(folder + "plugins/ghost/ghost.so");
  dialogs->fileAnswers.push_back({pcf});
  page->addButton->click();
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_TRUE(ListItems().isEmpty());
  EXPECT_EQ(host.pluginItems, QStringList{"Plugins Manager"});
  EXPECT_EQ(ProfileFile(pcf).ReadString("Settings", "Installed", "<none>"), "<none>");
  EXPECT_FALSE(fs::exists(folder + "plugins.ini"));
}

TEST_F(PluginsPageTest, StartAndPropertiesRunTheExportsAndAMissingExportIsAPluginError) {
  Register({"alpha"});
  Install("bare", "1.0", "bare", VELK_TEST_PLUGIN_BARE);
  Create();
  page->startButton->click();
  EXPECT_STREQ(std::getenv("VELK_TEST_PLUGIN"), "started");
  page->propertiesButton->click();
  EXPECT_STREQ(std::getenv("VELK_TEST_PLUGIN"), "configured");
  EXPECT_TRUE(dialogs->messages.empty());

  dialogs->fileAnswers.push_back({folder + "plugins/bare/plugin.pcf"});
  page->addButton->click();
  page->startButton->click();
  EXPECT_EQ(dialogs->Texts(), std::vector<std::string>{kPluginError});
}

TEST_F(PluginsPageTest, ApplyWritesBothFilesAndShowsTheBareNameInTheDropDown) {
  Register({"alpha", "beta"});
  Create();
  Select(1);
  page->nameEdit->setText("Beta Renamed");
  page->applyButton->click();
  EXPECT_EQ(Ini("Plugin1", "Name"), "Beta Renamed");
  EXPECT_EQ(ProfileFile(folder + "plugins/beta/plugin.pcf").ReadString("Settings", "Name", ""),
            "Beta Renamed");
  EXPECT_EQ(ListItems(), (QStringList{"alpha", "Beta Renamed"}));
  EXPECT_EQ(host.pluginItems.at(3), "Beta Renamed");
  EXPECT_EQ(page->pluginBox->currentIndex(), 1);
}

TEST_F(PluginsPageTest, APickedFolderGainsItsSeparatorAndIsSavedOnHide) {
  Create();
  EXPECT_EQ(options->pluginFolderEdit->text().toStdString(), folder + "plugins/");
  options->pluginFolderButton->click();  // cancelled
  EXPECT_EQ(host.settings.pluginsFolder, folder + "plugins/");

  dialogs->folderAnswers.push_back("/opt/velk/more plugins");
  options->pluginFolderButton->click();
  EXPECT_EQ(host.settings.pluginsFolder, "/opt/velk/more plugins/");
  EXPECT_EQ(options->pluginFolderEdit->text(), "/opt/velk/more plugins/");
  options->FormHide();
  EXPECT_EQ(Ini("Settings", "Plugindir"), "/opt/velk/more plugins/");
}

TEST_F(PluginsPageTest, TheColourPickerAddsStartsAndConfigures) {
  const fs::path staged = fs::path(VELK_COLOURPICKER).parent_path();
  fs::create_directories(fs::path(folder) / "plugins");
  fs::copy(staged, fs::path(folder) / "plugins" / "colourpicker",
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  Create();
  dialogs->fileAnswers.push_back({folder + "plugins/colourpicker/plugin.pcf"});
  page->addButton->click();
  EXPECT_EQ(host.pluginItems.last(), "Colour Picker - 1.0");

  auto window = [](const char* name) -> QWidget* {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == name && top->isVisible()) return top;
    return nullptr;
  };
  page->startButton->click();
  page->propertiesButton->click();
  EXPECT_TRUE(dialogs->messages.empty());
  QWidget* picker = window("ColourPicker");
  QWidget* settings = window("ColourPickerSettings");
  ASSERT_TRUE(picker && settings);
  QTest::qWait(120);  // a few samples of the screen, where the platform allows capture
  picker->grab().save("/tmp/velk-colour-picker.png");
  settings->grab().save("/tmp/velk-colour-picker-settings.png");
  picker->close();
  settings->close();
}

TEST(ColourFormat, WritesHexCssAndTheViewersDecimalColorRef) {
  using colourpicker::ColourFormat;
  const QColor colour(0x12, 0x34, 0x56);
  EXPECT_EQ(FormatColour(colour, ColourFormat::Hex), "#123456");
  EXPECT_EQ(FormatColour(colour, ColourFormat::Rgb), "rgb(18, 52, 86)");
  EXPECT_EQ(FormatColour(colour, ColourFormat::ColorRef), QString::number(0x563412));
}

}  // namespace
}  // namespace velk
