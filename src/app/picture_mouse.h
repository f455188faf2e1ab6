#pragma once
// The mouse on the main window's picture: Ctrl+wheel steps through the zoom box's percentage
// entries, keeping the point under the pointer in place; a picture larger than its area is
// dragged to pan it (open hand while it can be, closed while dragging). The plain wheel
// scrolls as before.
namespace velk {

class TMainform;

void InstallPictureMouse(TMainform& mainform);

}  // namespace velk
