#pragma once
// Dialogs laid out in fixed places (the options dialog) grow with a font larger than the one
// they were designed for, so that no text is cut off.
#include <QSize>

class QWidget;

namespace velk {

// Every place and size in the dialog becomes the design's times one factor across and one
// down: the least that shows each label, check box, captioned button, group and field whole at
// the font in use (never below 1, so the design font keeps the design size). Run again after
// texts or the font change; the design's places are remembered at the first run.
void FitToTexts(QWidget& dialog, QSize designSize);

}  // namespace velk
