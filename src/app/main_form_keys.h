#pragma once
// The keys and drops users of every viewer expect, each through the command of its button or
// list: in the main window Return or F11 full screen, F5 Refresh, F1 About, Ctrl+plus, minus, 0
// and 1 zoom; in the full-screen view Escape or F11 leave, Space/Page Down and Backspace/Page Up
// the next and previous file of the file list, Home and End the first and last; a picture file
// or folder dropped on the main window opens as the command line would.
namespace velk {

class TFullscreenform;
class TMainform;

void InstallKeysAndDrops(TMainform& mainform, TFullscreenform& fullscreen);

}  // namespace velk
