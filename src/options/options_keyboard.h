#pragma once
// The options dialog by keyboard: Tab goes from the page tree through the shown page's
// controls to OK; Escape closes the dialog as its close button does, or, while a conversion
// runs, cancels it.
namespace velk {

class TOptions;

void MakeKeyboardUsable(TOptions& options);

}  // namespace velk
