// The windows as a keyboard user, a screen reader and a dark desktop theme meet them, on a real
// X server under a window manager (openbox), as the program runs on a desktop.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <map>
#include <set>

#include "app/file_commands.h"
#include "app/program_windows.h"
#include "app/shown_box.h"
#include "app/scroll_box.h"
#include "mixer/memory_mixer.h"
#include "mixer/mixer_systems.h"
#include "platform/bitmap.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "platform/qt_dialogs.h"
#include "support/child_process.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
#include "widgets/hint_tracker.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {
namespace {

// Openbox for the life of the object: the X server's other tests run without a manager.
class WindowManager {
public:
  WindowManager() {
    const std::string openbox = test::FindTool("openbox");
    if (openbox.empty()) return;
    ForgetManager();  // what an earlier manager left on the root window
    process_.start(QString::fromStdString(openbox), {"--sm-disable"});
    if (!process_.waitForStarted()) return;
    // Running once it has claimed the screen and listed the windows it manages: a window
    // mapped between the two was sometimes never managed, so never shown.
    for (int i = 0; i < 100 && !running_; ++i) {
      const std::string root =
          test::RunChild({test::FindTool("xprop"), "-root", "_NET_SUPPORTING_WM_CHECK",
                          "_NET_CLIENT_LIST"}, {})
              .output;
      running_ = root.find("_NET_SUPPORTING_WM_CHECK(WINDOW)") != std::string::npos &&
                 root.find("_NET_CLIENT_LIST(WINDOW)") != std::string::npos;
      if (!running_) QTest::qWait(50);
    }
  }
  ~WindowManager() {
    process_.terminate();
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished();
    ForgetManager();
  }
  bool Running() const { return running_; }
  // Waits until it manages a window mapped now: one mapped while it was still starting was
  // sometimes missed all the same (a window it missed is mapped again). A test whose first
  // window must be managed waits for this; the probe's leaving may move the focus.
  static bool ManagesNewWindows() {
    QWidget probe(nullptr, Qt::Window);
    probe.setGeometry(0, 0, 20, 20);
    for (int attempt = 0; attempt < 3; ++attempt) {
      probe.show();
      bool managed = false;
      for (int i = 0; i < 40 && !(managed = Lists(probe)); ++i) QTest::qWait(50);
      probe.hide();
      for (int i = 0; i < 40 && Lists(probe); ++i) QTest::qWait(50);
      if (managed) return true;
    }
    return false;
  }

private:
  static bool Lists(const QWidget& window) {
    const std::string clients =
        test::RunChild({test::FindTool("xprop"), "-root", "_NET_CLIENT_LIST"}, {}).output;
    return clients.find(QString("0x%1").arg(window.winId(), 0, 16).toStdString()) !=
           std::string::npos;
  }
  static void ForgetManager() {
    for (const char* property : {"_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST"})
      test::RunChild({test::FindTool("xprop"), "-root", "-remove", property}, {});
  }

  QProcess process_;
  bool running_ = false;
};

#define NEED_X11_AND_A_WINDOW_MANAGER(manager)                                             \
  if (QGuiApplication::platformName() != "xcb")                                            \
    GTEST_SKIP() << "needs an X server and QT_QPA_PLATFORM=xcb";                           \
  if (test::FindTool("openbox").empty() || test::FindTool("xprop").empty())                \
    GTEST_SKIP() << "openbox or xprop is missing";                                         \
  WindowManager manager;                                                                   \
  ASSERT_TRUE(manager.Running())

struct Desktop {
  Desktop() {
    std::filesystem::create_directories(pictures);
    for (const char* name : {"a.bmp", "b.bmp"}) SaveBmpFile(Bitmap(900, 900, 24), pictures + name);
    main.folderList->SetDirectory(pictures);
  }
  void Show(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  ScopedScriptedDialogs dialogs;
  ScopedMixerSystem mixers{SilentMixerSystem()};
  test::ProgramWindows windows;
  TMainform& main = *windows.mainform;
  TOptions& options = *windows.options;
  std::string pictures = windows.dir.Path() + "/pictures/";
};

TEST(UsableOnADesktop, EveryToolbarCommandHasItsKeyAndTheContextMenuListsThem) {
  NEED_X11_AND_A_WINDOW_MANAGER(manager);
  Desktop desktop;
  TMainform& main = desktop.main;
  desktop.Show(main);
  // The first key browses the files, not the zoom.
  EXPECT_EQ(QApplication::focusWidget(), main.fileList);
  main.fileList->SetItemIndex(0);
  QTest::keyClick(main.windowHandle(), Qt::Key_Down);
  EXPECT_EQ(main.fileList->FileName(), desktop.pictures + "b.bmp");
  EXPECT_EQ(main.zoomBox->currentIndex(), 9);  // the first run's "To fit"

  const std::pair<TToolbarButton97*, const char*> commands[] = {
      {main.executeButton, "Ctrl+E"},       {main.clearButton, "Ctrl+Del"},
      {main.refreshButton, "F5"},           {main.fullScreenButton, "F11"},
      {main.loupeButton, "Ctrl+L"},         {main.optionsButton, "Ctrl+,"},
      {main.volumeButton, "Ctrl+Shift+V"},  {main.skinsButton, "Ctrl+Shift+K"},
      {main.pluginMenuButton->Button(), "Ctrl+Shift+P"},
      {main.convertButton, "Ctrl+Shift+C"}, {main.slideShowButton, "Ctrl+Shift+S"},
      {main.aboutButton, "F1"},             {main.minimizeButton, "Ctrl+M"},
      {main.closeButton, "Ctrl+Q"}};
  for (const auto& [button, key] : commands) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(button->Hint().endsWith(QString(" (%1)").arg(key))) << button->Hint().toStdString();
    // The key's click alone: what the command does is tested with its button.
    QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    const QKeyCombination combination = QKeySequence(key)[0];
    QTest::keyClick(main.windowHandle(), combination.key(), combination.keyboardModifiers());
    EXPECT_EQ(clicks.count(), 1);
  }
  // The file commands' keys reach them from the file list (which has Ctrl+C of its own).
  main.fileList->setFocus();
  for (QAction* action : main.fileCommands->Actions()) {
    SCOPED_TRACE(action->text().toStdString());
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    QSignalSpy triggered(action, &QAction::triggered);
    const QKeyCombination combination = action->shortcut()[0];
    QTest::keyClick(main.windowHandle(), combination.key(), combination.keyboardModifiers());
    EXPECT_EQ(triggered.count(), 1);
  }

  // The context menu from the mouse and both keys, on the file list and the picture.
  const QPoint list = main.fileList->mapTo(&main, main.fileList->rect().center());
  const QPoint picture = main.imageArea->mapTo(&main, main.imageArea->rect().center());
  const auto menuKey = [&] {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(main.windowHandle(), Qt::Key_Menu);
    // What the X11 platform sends besides the key itself.
    QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, QPoint(5, 5));
    QApplication::sendEvent(focus, &fromKey);
  };
  const std::function<void()> openings[] = {
      [&] { QTest::mouseClick(main.windowHandle(), Qt::RightButton, {}, list); },
      menuKey,
      [&] { QTest::keyClick(main.windowHandle(), Qt::Key_F10, Qt::ShiftModifier); },
      [&] {
        main.imageArea->setFocus();
        menuKey();
      },
      [&] { QTest::mouseClick(main.windowHandle(), Qt::RightButton, {}, picture); }};
  for (const auto& open : openings) {
    open();
    QMenu* menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }));
    QTest::qWait(50);
    int menus = 0;  // one opening, one menu
    for (QWidget* window : QApplication::topLevelWidgets())
      menus += window->objectName() == "CommandMenu" && window->isVisible();
    EXPECT_EQ(menus, 1);
    // The fourteen commands and the plugins, a line, the twelve file commands.
    ASSERT_EQ(menu->actions().size(), 28);
    EXPECT_EQ(menu->actions()[2]->text(), "Refresh\tF5");
    EXPECT_EQ(menu->findChild<QMenu*>("PluginsMenu")->actions().first()->text(), "Plugins Manager");
    menu->close();
  }
}

TEST(UsableOnADesktop, TheOptionsOpenOverTheMainWindowAndWorkByKeyboard) {
  NEED_X11_AND_A_WINDOW_MANAGER(manager);
  Desktop desktop;
  TMainform& main = desktop.main;
  TOptions& options = desktop.options;
  main.move(40, 60);
  desktop.Show(main);
  options.ShowPage(8);  // Convert
  ASSERT_TRUE(QTest::qWaitForWindowActive(&options));
  const QPoint offset = options.geometry().center() - main.geometry().center();
  EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
  // A message box: transient for the window the user is in and over it, whatever the
  // manager would do.
  EXPECT_TRUE(test::WithShownBox("No mixer", [&](QMessageBox& box) {
    QWidget* owner = box.parentWidget();
    ASSERT_TRUE(owner == &options || owner == &main);
    // The manager frames a window around where it was put: the windows' insides line up.
    const QPoint offset = box.geometry().center() - owner->geometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
  }));

  // From the page tree, Tab goes through the page to OK; Space works the flat buttons.
  options.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&options));
  options.pageTree->setFocus();
  std::vector<std::string> order;
  for (int i = 0; i < 12 && QApplication::focusWidget() != options.okButton; ++i) {
    QTest::keyClick(options.windowHandle(), Qt::Key_Tab);
    order.push_back(QApplication::focusWidget()->objectName().toStdString());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"ListBox1", "ToolbarButton971", "ComboBox973",
                                             "Edit971", "ExplorerButton1"}));
  desktop.dialogs->fileAnswers.push_back({desktop.pictures + "a.bmp"});
  options.FindComponent("ToolbarButton971")->setFocus();
  QTest::keyClick(options.windowHandle(), Qt::Key_Space);
  EXPECT_EQ(options.findChild<QListWidget*>("ListBox1")->count(), 1);
  EXPECT_TRUE(options.FindComponent("ToolbarButton975")->focusPolicy() & Qt::TabFocus);
  QTest::keyClick(options.windowHandle(), Qt::Key_Escape);
  EXPECT_FALSE(options.isVisible());
  // Opened again, the keyboard starts on the page tree, not where it was at the close.
  options.ShowPage(9);
  for (int i = 0; i < 100 && QApplication::focusWidget() != options.pageTree; ++i)
    QTest::qWait(20);
  EXPECT_EQ(QApplication::focusWidget(), options.pageTree);
}

// At start-up only the splash is up, and it closes on its own: a box stands over it, transient
// for it, without belonging to it.
TEST(UsableOnADesktop, AStartUpBoxIsTransientForTheSplashWithoutBelongingToIt) {
  NEED_X11_AND_A_WINDOW_MANAGER(manager);
  ASSERT_TRUE(manager.ManagesNewWindows());
  auto* splash = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->setGeometry(100, 100, 400, 300);  // away from the screen's centre
  splash->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(splash, 20000));  // a loaded machine maps slowly
  EXPECT_TRUE(test::WithShownBox("No mixer", [&](QMessageBox& box) {
    EXPECT_EQ(box.parentWidget(), nullptr);
    EXPECT_EQ(box.windowHandle()->transientParent(), splash->windowHandle());
    // Over the splash, not in the screen's centre. How exactly it is centred is up to the
    // window manager and its frame: with several managers started in one run, boxes were
    // sometimes placed up to 40 pixels off.
    EXPECT_TRUE(splash->geometry().contains(box.geometry().center()))
        << box.geometry().center().x() << "," << box.geometry().center().y();
    splash->close();  // the box stays up
    QTest::qWait(50);
    EXPECT_TRUE(box.isVisible());
  }));
}

// The roles a user works or sees, which a screen reader must be able to name.
bool Interactive(QAccessible::Role role) {
  switch (role) {
    case QAccessible::PushButton: case QAccessible::CheckBox: case QAccessible::RadioButton:
    case QAccessible::ComboBox: case QAccessible::EditableText: case QAccessible::SpinBox:
    case QAccessible::Slider: case QAccessible::List: case QAccessible::Tree:
    case QAccessible::ButtonMenu: case QAccessible::ButtonDropDown: case QAccessible::ScrollBar:
    case QAccessible::Graphic:
      return true;
    default:
      return false;
  }
}

// On Linux a box's name is its value: a screen reader names it by the label it is labelled by.
QString NameOf(QAccessibleInterface* node) {
  if (node->role() == QAccessible::ComboBox)
    for (const auto& [label, relation] : node->relations(QAccessible::Label))
      return label->text(QAccessible::Name);
  return node->text(QAccessible::Name);
}

// Every shown control of the tree under node that has no name, or shares its role and name
// with another.
void Walk(QAccessibleInterface* node, std::vector<std::string>& faults,
          std::set<std::pair<int, QString>>& seen) {
  if (!node || node->state().invisible) return;
  if (Interactive(node->role())) {
    const QString name = NameOf(node);
    const std::string what = node->object() ? node->object()->objectName().toStdString() : "?";
    if (name.trimmed().isEmpty()) faults.push_back("unnamed " + what);
    else if (!seen.insert({int(node->role()), name}).second)
      faults.push_back("named twice " + what + " \"" + name.toStdString() + "\"");
    if (node->role() != QAccessible::ComboBox) return;  // its list and field are its parts
  }
  for (int i = 0; i < node->childCount(); ++i) Walk(node->child(i), faults, seen);
}

std::vector<std::string> UnnamedControls(QWidget* window) {
  std::vector<std::string> faults;
  std::set<std::pair<int, QString>> seen;
  Walk(QAccessible::queryAccessibleInterface(window), faults, seen);
  return faults;
}

TEST(UsableOnADesktop, EveryControlOfEveryWindowHasAName) {
  NEED_X11_AND_A_WINDOW_MANAGER(manager);
  Desktop desktop;
  desktop.Show(desktop.main);
  desktop.main.fileList->SetItemIndex(0);
  desktop.main.OnFileSelected();
  EXPECT_EQ(UnnamedControls(&desktop.main), std::vector<std::string>{});
  QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(desktop.main.imageArea);
  EXPECT_EQ(picture->text(QAccessible::Name), "Picture");
  EXPECT_EQ(picture->text(QAccessible::Description).toStdString(),
            desktop.main.nameValue->text().toStdString() + ", " +
                desktop.main.sizeValue->text().toStdString());
  // Each page of the dialog on its own, as a user sees it.
  for (int node = 1; node <= 10; ++node) {
    desktop.options.ShowPage(node);
    QTest::qWait(10);
    SCOPED_TRACE(desktop.options.TreeItem(node)->text(0).toStdString());
    EXPECT_EQ(UnnamedControls(&desktop.options), std::vector<std::string>{});
  }
}

// The texts of every page that could be cut off: each shown label, check box, radio button and
// captioned button, with what its text needs beyond its width or height.
std::vector<std::string> CutTexts(QWidget& page) {
  std::vector<std::string> cut;
  for (QWidget* widget : page.findChildren<QWidget*>()) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap())
      text = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    if (text.isEmpty() || !widget->isVisibleTo(&page)) continue;
    // Across: its text and what goes with it (a check box's box); down: a line of the font.
    QSize needed(widget->sizeHint().width(), widget->fontMetrics().height());
    if (qobject_cast<QPushButton*>(widget))  // its text and margins, not the style's least width
      needed.setWidth(widget->fontMetrics().horizontalAdvance(text) +
                      2 * (widget->style()->pixelMetric(QStyle::PM_ButtonMargin) +
                           widget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth)));
    const QSize has = widget->size();
    if (needed.width() > has.width() || needed.height() > has.height())
      cut.push_back(text.toStdString() + " needs " + std::to_string(needed.width()) + "x" +
                    std::to_string(needed.height()) + ", has " + std::to_string(has.width()) +
                    "x" + std::to_string(has.height()));
  }
  return cut;
}

// A desktop font larger than the design's (a theme's): the dialog and its pages grow until no
// text is cut off; back at the design font they are the design size again.
TEST(UsableOnADesktop, TheOptionsGrowWithALargerFontSoNoTextIsCut) {
  NEED_X11_AND_A_WINDOW_MANAGER(manager);
  Desktop desktop;
  TOptions& options = desktop.options;
  const QFont design = options.font();
  const QSize designSize(490, 319);
  for (const double scale : {1.0, 1.6, 1.0}) {
    QFont font = design;
    font.setPointSizeF(design.pointSizeF() * scale);
    options.setFont(font);
    for (int node = 1; node <= 10; ++node) {
      options.ShowPage(node);
      SCOPED_TRACE(std::to_string(scale) + " " + options.TreeItem(node)->text(0).toStdString());
      EXPECT_EQ(CutTexts(options), std::vector<std::string>{});
    }
    if (scale == 1.0) EXPECT_EQ(options.size(), designSize);
    else EXPECT_GT(options.width(), designSize.width());
  }
}

// WCAG's contrast ratio of two colours.
double Contrast(QRgb a, QRgb b) {
  const auto luminance = [](QRgb c) {
    const auto channel = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text in an area of a screenshot: its commonest colour is the background,
// the pixel farthest from it the text. 0 when the area is of one colour.
double TextContrast(const QImage& shot, const QRect& area) {
  std::map<QRgb, int> counts;
  const QRect inside = area & shot.rect();
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) ++counts[shot.pixel(x, y) | 0xFF000000];
  if (counts.empty()) return 0;
  QRgb background = counts.begin()->first;
  for (const auto& [colour, count] : counts)
    if (count > counts[background]) background = colour;
  double best = 0;
  for (const auto& [colour, count] : counts) best = std::max(best, Contrast(colour, background));
  return best;
}

// Where a control shows its text, in its own coordinates; empty for controls without text.
QRect TextArea(QWidget* control) {
  if (auto* box = qobject_cast<QComboBox*>(control)) {
    if (box->currentText().isEmpty()) return {};
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    return box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                        QStyle::SC_ComboBoxEditField, box);
  }
  if (auto* list = qobject_cast<QListView*>(control))
    return list->model()->rowCount() ? list->visualRect(list->model()->index(0, 0))
                                           .translated(list->viewport()->pos())
                                     : QRect();
  if (auto* tree = qobject_cast<QTreeWidget*>(control))
    return tree->visualItemRect(tree->topLevelItem(0)).translated(tree->viewport()->pos());
  if (auto* edit = qobject_cast<QLineEdit*>(control))
    return edit->text().isEmpty() ? QRect() : edit->rect().adjusted(3, 3, -3, -3);
  if (auto* label = qobject_cast<QLabel*>(control))
    return label->text().isEmpty() || !label->pixmap().isNull() ? QRect() : label->contentsRect();
  if (auto* button = qobject_cast<QAbstractButton*>(control))
    return button->text().isEmpty() ? QRect() : button->rect();
  return {};
}

// Every enabled, shown control with text in window, with the contrast its text has on screen.
std::vector<std::string> PoorContrast(QWidget& window, const std::string& shotName) {
  const QImage shot = window.grab().toImage();
  shot.save(QString::fromStdString(::testing::TempDir() + shotName + ".png"));
  std::vector<std::string> faults;
  for (QWidget* control : window.findChildren<QWidget*>()) {
    if (!control->isVisible() || !control->isEnabled()) continue;
    // What of the text the window shows: controls may stand past their page's edge.
    const QRect area = TextArea(control) & control->visibleRegion().boundingRect();
    if (area.isEmpty()) continue;
    const double contrast =
        TextContrast(shot, QRect(control->mapTo(&window, area.topLeft()), area.size()));
    if (contrast < 4.5)
      faults.push_back(control->objectName().toStdString() + " " + std::to_string(contrast));
  }
  return faults;
}

TEST(UsableOnADesktop, ListsAndBoxesAreReadableUnderADarkTheme) {
  NEED_X11_AND_A_WINDOW_MANAGER(manager);
  // A dark theme as the platform gives it: light text on dark bases and windows.
  const QPalette before = QApplication::palette();
  QPalette dark;
  for (auto [role, colour] : {std::pair{QPalette::Window, QColor(45, 45, 48)},
                              {QPalette::WindowText, QColor(230, 230, 230)},
                              {QPalette::Base, QColor(30, 30, 30)},
                              {QPalette::AlternateBase, QColor(40, 40, 40)},
                              {QPalette::Text, QColor(235, 235, 235)},
                              {QPalette::Button, QColor(55, 55, 58)},
                              {QPalette::ButtonText, QColor(235, 235, 235)},
                              {QPalette::Highlight, QColor(38, 79, 120)},
                              {QPalette::HighlightedText, QColor(255, 255, 255)},
                              {QPalette::Link, QColor(90, 160, 255)}})
    dark.setColor(role, colour);
  QApplication::setPalette(dark);
  {
    Desktop desktop;
    desktop.Show(desktop.main);
    EXPECT_EQ(PoorContrast(desktop.main, "velk_dark_main"), std::vector<std::string>{});
    desktop.options.findChild<QListWidget*>("ListBox1")->addItem("/pictures/a.bmp");
    desktop.options.findChild<QListWidget*>("Listbox971")->addItem("/pictures/a.bmp");
    for (int node = 0; node <= 10; ++node) {
      desktop.options.ShowPage(node);
      QTest::qWait(10);
      SCOPED_TRACE(desktop.options.TreeItem(node)->text(0).toStdString());
      EXPECT_EQ(PoorContrast(desktop.options, "velk_dark_options_" + std::to_string(node)),
                std::vector<std::string>{});
    }
  }
  QApplication::setPalette(before);
}

}  // namespace
}  // namespace velk
