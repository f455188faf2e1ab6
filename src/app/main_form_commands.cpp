#include "app/main_form_commands.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>

#include "app/file_commands.h"
#include "app/main_form.h"
#include "app/scroll_box.h"
#include "options/languages.h"
#include "widgets/file_list_box.h"
#include "widgets/hint_tracker.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

constexpr const char* kPlainHint = "velkPlainHint";

// The button's hint as translated, without the key added to it.
QString PlainHint(const TToolbarButton97* button) {
  const QVariant plain = button->property(kPlainHint);
  return plain.isValid() ? plain.toString() : GetShortHint(button->Hint());
}

class CommandMenu : public QObject {
public:
  explicit CommandMenu(TMainform& mainform) : QObject(&mainform), main_(mainform) {
    // A click at once (a button's own shortcut would click a moment later); a disabled
    // button ignores it.
    for (const ToolbarCommand& command : ToolbarCommands(main_)) {
      auto* shortcut = new QShortcut(command.key, &main_);
      shortcut->setContext(Qt::WindowShortcut);
      connect(shortcut, &QShortcut::activated, command.button, &QAbstractButton::click);
    }
    for (QWidget* area : {static_cast<QWidget*>(main_.fileList),
                          static_cast<QWidget*>(main_.imageArea)}) {
      area->setContextMenuPolicy(Qt::CustomContextMenu);
      area->installEventFilter(this);
      if (auto* scrolled = qobject_cast<QAbstractScrollArea*>(area))
        scrolled->viewport()->installEventFilter(this);
      connect(area, &QWidget::customContextMenuRequested, this, [this, area](QPoint at) {
        // Scroll areas report the place in their viewport.
        auto* scrolled = qobject_cast<QAbstractScrollArea*>(area);
        Popup((scrolled ? scrolled->viewport() : area)->mapToGlobal(at));
      });
      for (const QKeyCombination key : {QKeyCombination(Qt::Key_Menu), Qt::SHIFT | Qt::Key_F10}) {
        auto* shortcut = new QShortcut(key, area);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, area] { Popup(KeyboardPlace(area)); });
      }
    }
  }

protected:
  // The X11 platform follows the Menu key with a context-menu event of its own: the key's
  // shortcut has opened the menu already.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
      return true;
    return QObject::eventFilter(watched, event);
  }

private:
  // Under the selected file, else the area's middle.
  static QPoint KeyboardPlace(QWidget* area) {
    if (auto* list = qobject_cast<TFileListBox*>(area); list && list->currentIndex().isValid()) {
      const QRect item = list->visualRect(list->currentIndex());
      return list->viewport()->mapToGlobal(item.bottomLeft());
    }
    return area->mapToGlobal(area->rect().center());
  }

  void Popup(QPoint at) {
    auto* menu = new QMenu(&main_);
    menu->setObjectName("CommandMenu");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const ToolbarCommand& command : ToolbarCommands(main_)) {
      TToolbarButton97* button = command.button;
      // The key shown beside the entry only: the window's shortcut is the one that acts.
      QAction* action = menu->addAction(
          PlainHint(button) + '\t' + command.key.toString(QKeySequence::NativeText), button,
          &QAbstractButton::click);
      action->setEnabled(button->isEnabled());
      if (button == main_.pluginMenuButton->Button()) AddPlugins(*menu);
    }
    menu->addSeparator();
    main_.fileCommands->UpdateEnabled();
    menu->addActions({main_.fileCommands->Actions().begin(), main_.fileCommands->Actions().end()});
    menu->popup(at);
  }

  // The plugin box's list: the manager, then each plugin.
  void AddPlugins(QMenu& menu) {
    QMenu* plugins = menu.addMenu(main_.pluginMenuButton->Arrow()->accessibleName());
    plugins->setObjectName("PluginsMenu");
    const QStringList items = main_.pluginMenuButton->Items();
    for (int i = 0; i < items.size(); ++i) {
      if (items[i] == "-") plugins->addSeparator();
      else plugins->addAction(items[i], this, [this, i] { main_.pluginMenuButton->ChooseItem(i); });
    }
  }

  TMainform& main_;
};

}  // namespace

std::vector<ToolbarCommand> ToolbarCommands(const TMainform& m) {
  // The usual keys where there is a convention; Ctrl+Shift and a letter opens an options page.
  return {{m.executeButton, Qt::CTRL | Qt::Key_E},
          {m.clearButton, Qt::CTRL | Qt::Key_Delete},
          {m.refreshButton, Qt::Key_F5},
          {m.fullScreenButton, Qt::Key_F11},
          {m.loupeButton, Qt::CTRL | Qt::Key_L},
          {m.optionsButton, Qt::CTRL | Qt::Key_Comma},
          {m.volumeButton, Qt::CTRL | Qt::SHIFT | Qt::Key_V},
          {m.skinsButton, Qt::CTRL | Qt::SHIFT | Qt::Key_K},
          {m.pluginMenuButton->Button(), Qt::CTRL | Qt::SHIFT | Qt::Key_P},
          {m.convertButton, Qt::CTRL | Qt::SHIFT | Qt::Key_C},
          {m.slideShowButton, Qt::CTRL | Qt::SHIFT | Qt::Key_S},
          {m.aboutButton, Qt::Key_F1},
          {m.minimizeButton, Qt::CTRL | Qt::Key_M},
          {m.closeButton, Qt::CTRL | Qt::Key_Q}};
}

void InstallToolbarCommands(TMainform& mainform) { new CommandMenu(mainform); }

QString KeysHtml(const TMainform& mainform) {
  const LanguageTexts text(mainform.ProgramFolder());
  const auto native = [](const QKeySequence& key) {
    return key.toString(QKeySequence::NativeText).toHtmlEscaped();
  };
  QString html = "<p><b>" + text("312", "Keys").toHtmlEscaped() + "</b>";
  for (const ToolbarCommand& command : ToolbarCommands(mainform))
    html += "<br>" + native(command.key) + ": " + PlainHint(command.button).toHtmlEscaped();
  const std::pair<QString, QString> others[] = {
      {native(Qt::CTRL | Qt::Key_Plus) + ", " + native(Qt::CTRL | Qt::Key_Minus),
       text("313", "Zoom in, zoom out")},
      {native(Qt::CTRL | Qt::Key_0) + ", " + native(Qt::CTRL | Qt::Key_1),
       text("314", "Zoom to fit, 100%")},
      {native(Qt::Key_Menu) + ", " + native(Qt::SHIFT | Qt::Key_F10),
       text("315", "The commands as a menu")},
      {native(Qt::Key_Space) + ", " + native(Qt::Key_Backspace),
       text("316", "Full screen: the next and the previous file")}};
  for (const auto& [keys, what] : others) html += "<br>" + keys + ": " + what.toHtmlEscaped();
  for (const QAction* action : mainform.fileCommands->Actions())
    html += "<br>" + native(action->shortcut()) + ": " + action->text().toHtmlEscaped();
  return html + "</p>";
}

void ShowShortcutsInHints(TMainform& mainform) {
  for (const ToolbarCommand& command : ToolbarCommands(mainform)) {
    TToolbarButton97* button = command.button;
    const QString plain = GetShortHint(button->Hint());
    button->setProperty(kPlainHint, plain);
    button->SetHint(plain + " (" + command.key.toString(QKeySequence::NativeText) + ")");
    button->setAccessibleName(plain);  // the reader tells the key apart
  }
}

}  // namespace velk
