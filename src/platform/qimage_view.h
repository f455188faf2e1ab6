#pragma once
// Bitmaps shown through QImage: without a copy for the formats Qt shares (1, 8, 16, 24 and
// 32 bits), converted for 4 bits.
#include <QImage>

#include "platform/bitmap.h"

namespace velk {

// A QImage over the bitmap's own memory where the format allows; the bitmap must outlive it
// and stay unchanged while the image is used.
QImage BitmapAsQImage(const Bitmap& bitmap);
// True when BitmapAsQImage shares the bitmap's memory.
bool SharesMemoryWithQImage(const Bitmap& bitmap);
// A new image whose memory may be a recycled block (see recycled_blocks.h); its contents are
// undefined, as a new QImage's are.
QImage RecycledQImage(QSize size, QImage::Format format);
// A 24-bit bitmap copy of any QImage.
Bitmap BitmapFromQImage(const QImage& image);

}  // namespace velk
