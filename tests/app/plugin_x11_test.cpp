// End to end on a real X server: the sample plugin is added through the Plugins Manager page
// and started from the main window's drop-down.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QTest>

#include "app/program_windows.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "options/plugins_page.h"
#include "platform/dialogs.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

QWidget* ShownWindow(const char* name) {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == name && top->isVisible()) return top;
  return nullptr;
}

TEST(PluginOnX11, TheColourPickerIsAddedThroughThePageAndStartedFromTheDropDown) {
  if (QGuiApplication::platformName() != "xcb")
    GTEST_SKIP() << "needs an X server and QT_QPA_PLATFORM=xcb";
  ScopedScriptedDialogs dialogs;
  ScopedMixerSystem mixers{SilentMixerSystem()};
  test::ProgramWindows windows;
  TMainform& mainform = *windows.mainform;
  TOptions& options = *windows.options;
  const std::string& folder = windows.folder;
  mainform.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainform));

  mainform.pluginMenuButton->Button()->click();  // the Plugins Manager page
  dialogs->fileAnswers.push_back({folder + "plugins/colourpicker/plugin.pcf"});
  options.PluginsPage->addButton->click();  // Add
  ASSERT_EQ(mainform.pluginMenuButton->Items().size(), 3);
  EXPECT_EQ(mainform.pluginMenuButton->Items()[2], "Colour Picker - 1.0");

  mainform.pluginMenuButton->ChooseItem(2);
  QWidget* picker = ShownWindow("ColourPicker");
  ASSERT_NE(picker, nullptr);
  EXPECT_TRUE(QTest::qWaitForWindowExposed(picker));
  EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages.front().text;
  picker->close();
}

}  // namespace
}  // namespace velk
