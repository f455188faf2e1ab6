#include <gtest/gtest.h>

#include <QAction>
#include <cstdlib>
#include <filesystem>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "app/start_plugin.h"
#include "image/image_aspect.h"
#include "image/jpeg_codec.h"
#include "image/jpeg_image.h"
#include "image/loupe_form.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "options/options_form.h"
#include "platform/atomic_file.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"
#include "widgets/file_list_box.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

class CommandsTest : public ::testing::Test {
protected:
  CommandsTest() {
    std::filesystem::create_directories(dir.Path() + "/program/plugins/tools");
    std::filesystem::copy_file(VELK_TEST_PLUGIN, dir.Path() + "/program/plugins/tools/good.so");
    std::filesystem::copy_file(VELK_TEST_PLUGIN_BARE,
                               dir.Path() + "/program/plugins/tools/bare.so");
    Bitmap bitmap(40, 30, 24);
    WriteFileAtomically(dir.Path() + "/a.jpg", EncodeJpeg(bitmap, JpegEncodeOptions{}));
    environment.programFolder = dir.Path() + "/program/";
    environment.hivePath = dir.Path() + "/hkcu.reg";
    environment.arguments = {QString::fromStdString(dir.Path() + "/a.jpg")};
    form = std::make_unique<TMainform>(settings, &loupe, &fullscreen, environment);
    options = std::make_unique<TOptions>(*form, environment.programFolder, form.get());
    form->SetOptionsDialog(options.get());
    ::unsetenv("VELK_TEST_PLUGIN");
  }

  test::TempDir dir;
  ScopedScriptedDialogs dialogs;
  ViewerSettings settings;
  // A mixer whatever the machine has: the options dialog reports none otherwise.
  ScopedMixerSystem mixers{SilentMixerSystem()};
  MainformEnvironment environment;
  TLoupeform loupe;
  TFullscreenform fullscreen;
  std::unique_ptr<TMainform> form;
  std::unique_ptr<TOptions> options;
};

TEST_F(CommandsTest, ClearFullScreenRefreshAndLoupe) {
  ASSERT_EQ(form->pictureView->GetPicture().Height(), 30);
  form->fullScreenButton->click();  // full screen with a picture
  EXPECT_TRUE(fullscreen.isVisible());
  EXPECT_EQ(fullscreen.captionLabel->text().toStdString(), dir.Path() + "/a.jpg");
  fullscreen.Leave();

  form->clearButton->click();  // clear: an empty bitmap, full screen off
  EXPECT_TRUE(form->pictureView->GetPicture().HasGraphic());
  EXPECT_EQ(form->pictureView->GetPicture().Height(), 0);
  EXPECT_FALSE(form->fullScreenButton->isEnabled());
  EXPECT_FALSE(form->nameValue->text().isEmpty());  // the panel stays
  form->MenuClick(form->fileList);  // a double-click now does nothing
  EXPECT_FALSE(fullscreen.isVisible());

  form->refreshButton->click();  // refresh shows the file again
  EXPECT_EQ(form->pictureView->GetPicture().Height(), 30);

  const bool shown = loupe.isVisible();
  form->loupeButton->click();
  EXPECT_NE(loupe.isVisible(), shown);
  form->loupeButton->click();
  EXPECT_EQ(loupe.isVisible(), shown);
}

TEST_F(CommandsTest, ButtonsOpenTheOptionsOnTheirPages) {
  const std::pair<TToolbarButton97*, int> buttons[] = {
      {form->optionsButton, 0}, {form->volumeButton, 3}, {form->skinsButton, 4},
      {form->convertButton, 8}, {form->slideShowButton, 9}, {form->aboutButton, 10},
      {form->pluginMenuButton->Button(), 7}};
  for (const auto& [button, node] : buttons) {
    options->ShowPage(1);
    button->click();
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(options->SelectedNode(), node) << button->objectName().toStdString();
  }
  options->ShowPage(1);
  form->pluginMenuButton->ChooseItem(1);  // the separator does nothing
  EXPECT_EQ(options->SelectedNode(), 1);
  form->pluginMenuButton->ChooseItem(0);
  EXPECT_EQ(options->SelectedNode(), 7);
  options->ShowPage(1);
  form->pluginMenuButton->Button()->SetTag(1);  // only tag 0 opens the manager
  form->pluginMenuButton->Button()->click();
  EXPECT_EQ(options->SelectedNode(), 1);
}

TEST_F(CommandsTest, ThePluginMenuStartsThePluginOfItsSection) {
  ProfileFile plugins(environment.programFolder + "plugins.ini");
  plugins.WriteString("Plugin0", "Directory", "tools/");
  plugins.WriteString("Plugin0", "Filename", "bare.so");
  plugins.WriteString("Plugin1", "Directory", "tools/");
  plugins.WriteString("Plugin1", "Filename", "good.so");
  plugins.WriteString("Plugin2", "Filename", "missing.so");
  form->SetPluginMenuItems({"Plugins Manager", "-", "Bare - 1", "Good - 2", "Missing - 3"});
  form->pluginMenuButton->ChooseItem(3);
  EXPECT_STREQ(std::getenv("VELK_TEST_PLUGIN"), "started");
  form->pluginMenuButton->ChooseItem(2);
  form->pluginMenuButton->ChooseItem(4);
  EXPECT_EQ(dialogs->Texts(), (std::vector<std::string>{"Plugin Error", "Plugin not found"}));
}

TEST(StartPlugin, MessagesForEachWayItFails) {
  test::TempDir dir;
  ScopedScriptedDialogs dialogs;
  ::unsetenv("VELK_TEST_PLUGIN");
  dir.Write("not-a-library.so", "text, not code");
  EXPECT_FALSE(StartPlugin(dir.File("none.so"), "Startplugin"));
  EXPECT_FALSE(StartPlugin(dir.Path() + "/", "Startplugin"));  // a section without a file
  EXPECT_FALSE(StartPlugin(dir.File("not-a-library.so"), "Startplugin"));
  EXPECT_FALSE(StartPlugin(VELK_TEST_PLUGIN_BARE, "Startplugin"));
  EXPECT_EQ(dialogs->Texts(), (std::vector<std::string>{"Plugin not found", "Plugin not found",
                                                         "Unable to intitialize plugin.",
                                                         "Plugin Error"}));
  EXPECT_EQ(dialogs->messages[0].kind, MessageKind::Error);
  EXPECT_TRUE(StartPlugin(VELK_TEST_PLUGIN, "Configureplugin"));
  EXPECT_STREQ(std::getenv("VELK_TEST_PLUGIN"), "configured");
  EXPECT_TRUE(StartPlugin(VELK_TEST_PLUGIN, "Startplugin"));  // loaded once, called again
  EXPECT_STREQ(std::getenv("VELK_TEST_PLUGIN"), "started");
}

}  // namespace
}  // namespace velk
