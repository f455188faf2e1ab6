#include "platform/qimage_view.h"

#include <cstring>
#include <memory>

#include "platform/recycled_blocks.h"

namespace velk {

namespace {
QList<QRgb> ColorTable(const Bitmap& bitmap) {
  QList<QRgb> table;
  table.reserve(qsizetype(bitmap.Palette().size()));
  for (const RGBQuad& entry : bitmap.Palette()) table.append(qRgb(entry.red, entry.green, entry.blue));
  return table;
}

QImage::Format SharedFormat(int bits) {
  switch (bits) {
    case 1: return QImage::Format_Mono;
    case 8: return QImage::Format_Indexed8;
    case 16: return QImage::Format_RGB555;  // little-endian 5-5-5, as in the bitmap
    case 24: return QImage::Format_BGR888;
    case 32: return QImage::Format_RGB32;   // B,G,R,X bytes
    default: return QImage::Format_Invalid;
  }
}
}  // namespace

bool SharesMemoryWithQImage(const Bitmap& bitmap) {
  return !bitmap.Empty() && SharedFormat(bitmap.BitsPerPixel()) != QImage::Format_Invalid;
}

QImage BitmapAsQImage(const Bitmap& bitmap) {
  if (bitmap.Empty()) return {};
  const QImage::Format format = SharedFormat(bitmap.BitsPerPixel());
  if (format != QImage::Format_Invalid) {
    QImage image(bitmap.Bits(), bitmap.Width(), bitmap.Height(), qsizetype(bitmap.Stride()), format);
    if (bitmap.HasPalette()) image.setColorTable(ColorTable(bitmap));
    return image;
  }
  // 4 bits: unpack to 8-bit indices.
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_Indexed8);
  image.setColorTable(ColorTable(bitmap));
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* in = bitmap.ScanLine(y);
    uchar* out = image.scanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) out[x] = x % 2 ? in[x / 2] & 0x0F : in[x / 2] >> 4;
  }
  return image;
}

QImage RecycledQImage(QSize size, QImage::Format format) {
  const int bits = QImage::toPixelFormat(format).bitsPerPixel();
  const qsizetype stride = ((qsizetype(size.width()) * bits + 31) / 32) * 4;
  if (size.isEmpty() || bits == 0 || size_t(stride) > SIZE_MAX / size_t(size.height()))
    return QImage(size, format);
  struct Owned {
    void* block;
    size_t capacity;
  };
  auto owned = std::make_unique<Owned>();
  const size_t bytes = size_t(stride) * size_t(size.height());
  owned->block = TakeBlock(bytes, &owned->capacity);
  if (!owned->block) return {};  // as QImage says it is out of memory
  void* block = owned->block;
  return QImage(
      static_cast<uchar*>(block), size.width(), size.height(), stride, format,
      [](void* info) {
        const auto* owned = static_cast<Owned*>(info);
        RecycleBlock(owned->block, owned->capacity);
        delete owned;
      },
      owned.release());
}

Bitmap BitmapFromQImage(const QImage& image) {
  if (image.isNull()) return {};
  const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
  Bitmap bitmap(bgr.width(), bgr.height(), 24);
  for (int y = 0; y < bgr.height(); ++y)
    std::memcpy(bitmap.ScanLine(y), bgr.constScanLine(y), size_t(bgr.width()) * 3);
  return bitmap;
}

}  // namespace velk
