#pragma once
// The keys and drops users of every viewer expect, each through the command of its button or
// list: in the main window Return full screen, Ctrl+plus, minus, 0 and 1 zoom (the toolbar's
// keys are in main_form_commands.h); in the full-screen view Escape or F11 leave, Space/Page
// Down and Backspace/Page Up (or the wheel) the next and previous file of the file list, Home
// and End the first and last; a picture file or folder dropped on the main window opens as the
// command line would.
namespace velk {

class TFullscreenform;
class TMainform;

void InstallKeysAndDrops(TMainform& mainform, TFullscreenform& fullscreen);

}  // namespace velk
