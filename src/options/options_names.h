#pragma once
// Names for screen readers in the options dialog: each field, list, slider and picker takes
// its caption as its label; the rest are named by their hints.
namespace velk {

class TOptions;

void NameOptionsControls(TOptions& options);

}  // namespace velk
