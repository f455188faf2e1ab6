#pragma once
// A picture scaled smoothly into another size: each target pixel is the bilinear blend of the
// four source pixels around its centre, as a smooth stretched draw gives. It reads 24-bit,
// 32-bit and 8-bit palette pixels as they are (no converted copy of the picture first) and
// shares larger pictures between two threads: the "To fit" view makes one per photo shown.
#include <QImage>
#include <QSize>

namespace velk {

// The source scaled into a Format_RGB32 image of the target's size; a null image when the
// source's format is none of the above (the caller draws it another way) or a size is empty.
QImage SmoothScaled(const QImage& source, QSize target);

}  // namespace velk
