#pragma once
// Every toolbar command without the mouse: a shortcut each (shown after the button's hint) and
// a context menu on the file list and the picture area (right click, the Menu key or
// Shift+F10) that lists the commands and the plugins.
#include <QKeySequence>
#include <QString>
#include <vector>

namespace velk {

class TMainform;
class TToolbarButton97;

struct ToolbarCommand {
  TToolbarButton97* button;
  QKeySequence key;
};

// In toolbar order, the title bar's minimise and close last.
std::vector<ToolbarCommand> ToolbarCommands(const TMainform& mainform);

void InstallToolbarCommands(TMainform& mainform);
// Appends each command's key to its button's hint; run after the hints are (re)translated.
void ShowShortcutsInHints(TMainform& mainform);
// Every key of the main window and the full-screen view, for the About page (HTML).
QString KeysHtml(const TMainform& mainform);

}  // namespace velk
