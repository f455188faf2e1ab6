#include "platform/application.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/qt_dialogs.h"

namespace velk {
namespace {

TEST(ErrorBox, ExceptionsLeavingAHandlerAreShownAndTheLoopGoesOn) {
  ScopedScriptedDialogs dialogs;
  bool laterRan = false;
  QTimer::singleShot(0, [] { throw EVelkError("Failed to get data for 'Grey'"); });
  QTimer::singleShot(0, [] { throw std::bad_alloc(); });
  QTimer::singleShot(5, [&] {
    laterRan = true;
    QCoreApplication::exit(0);
  });
  QCoreApplication::exec();
  EXPECT_TRUE(laterRan);
  ASSERT_EQ(dialogs->messages.size(), 2u);
  EXPECT_EQ(dialogs->messages[0].kind, MessageKind::Error);
  EXPECT_EQ(dialogs->messages[0].text, "Failed to get data for 'Grey'");  // "'" sorts before "."
  EXPECT_EQ(dialogs->messages[1].text, "Out of memory.");
}

TEST(ErrorBox, AddsAFullStopOnlyWhereTheFrameworkDoes) {
  EXPECT_EQ(ErrorBoxText("Plugin not found"), "Plugin not found.");
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("Really?"), "Really?.");   // '?' sorts after '.'
  EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");        // '!' sorts before '.'
  EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(Dialogs, ScriptedAnswersAndFileFilters) {
  ScopedScriptedDialogs dialogs;
  dialogs->answers.push_back(MessageAnswer::No);
  EXPECT_FALSE(AppDialogs().Confirm("Do you wish to restore the default settings?"));
  EXPECT_TRUE(AppDialogs().Confirm("again"));  // queue empty: Yes
  dialogs->fileAnswers.push_back({"/a.bmp", "/b.bmp"});
  EXPECT_EQ(AppDialogs().OpenFiles({"", "Skins|*.bmp", "", true}).size(), 2u);
  EXPECT_TRUE(AppDialogs().OpenFiles({}).empty());
  EXPECT_EQ(dialogs->fileBoxes[0].filter, "Skins|*.bmp");
  EXPECT_EQ(QtFileFilter("All Supported Files|*.jpg;*.bmp;|All Files|*.*"),
            "All Supported Files (*.jpg *.bmp);;All Files (*.*)");
}

}  // namespace
}  // namespace velk
