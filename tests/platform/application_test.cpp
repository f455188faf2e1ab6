#include "platform/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QStyle>
#include <QWidget>
#include <QTimer>

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/icon_keeping_style.h"
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

TEST(QtDialogs, AMessageOutlivesAWindowThatClosesItselfMeanwhile) {
  // As the splash does during start-up messages: it deletes itself on its first tick.
  auto* splash = new QWidget;
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->show();
  QApplication::setActiveWindow(splash);
  ASSERT_EQ(QApplication::activeWindow(), splash);
  QTimer::singleShot(20, splash, &QWidget::close);
  QTimer closeBox;  // answers the box once the splash has gone
  QPointer<QWidget> watched(splash);
  QObject::connect(&closeBox, &QTimer::timeout, [&] {
    if (QWidget* box = QApplication::activeModalWidget(); box && !watched) box->close();
  });
  closeBox.start(10);
  QtDialogs().Message(MessageKind::Error, "No mixer present in the system !", MessageButtons::Ok);
  EXPECT_TRUE(watched.isNull());
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

// A new icon for each message box's buttons would keep new pixmap cache entries for each box
// for the rest of the session.
TEST(IconKeepingStyle, OneIconPerStandardPixmapWithArrowsFollowingTheTextDirection) {
  InstallIconKeepingStyle();
  QStyle* style = QApplication::style();
  for (const QStyle::StandardPixmap which :
       {QStyle::SP_DialogOkButton, QStyle::SP_DialogCancelButton, QStyle::SP_MessageBoxCritical})
    EXPECT_EQ(style->standardIcon(which).cacheKey(), style->standardIcon(which).cacheKey());
  const auto back = [style] {
    return style->standardIcon(QStyle::SP_ArrowBack).pixmap(16).toImage();
  };
  const QImage leftToRight = back();
  QApplication::setLayoutDirection(Qt::RightToLeft);
  const QImage rightToLeft = back();
  QApplication::setLayoutDirection(Qt::LeftToRight);
  EXPECT_NE(leftToRight, rightToLeft);
  EXPECT_EQ(back(), leftToRight);
}

}  // namespace
}  // namespace velk
