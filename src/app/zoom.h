#pragma once
// The zoom box's choices and the size they give a W x H picture.
#include <QSize>
#include <QStringList>

class QComboBox;

namespace velk {

enum ZoomIndex { kZoom500 = 0, kZoom100 = 4, kZoom10 = 8, kZoomToFit = 9, kZoomStretch = 10 };

// "500%" ... "10%", "To fit", "Stretch".
QStringList ZoomEntries();

// The percentage entry step entries on from index (-1 larger, +1 smaller), kept within 500 %
// to 10 %; from "To fit", "Stretch" or none the steps start at 100 %.
int SteppedZoom(int index, int step);

// Selects the entry in the zoom box as the user would (its activated signal applies it).
void ChooseZoomEntry(QComboBox& box, int index);

// The JPEG control's size for the percentage entries 0 to 8 (integer arithmetic, the quarter
// taken first for 75 %); other indexes leave W x H.
QSize ZoomedSize(int index, int width, int height);

}  // namespace velk
