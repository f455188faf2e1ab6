// Writes a Bitmap as BITMAPFILEHEADER + BITMAPINFOHEADER + palette + bottom-up rows, in the
// bitmap's own pixel format (16 bits as BI_RGB 5-5-5).
#include <algorithm>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/bmp_codec.h"
#include "platform/bmp_format.h"
#include "platform/errors.h"
#include "platform/large_pages.h"

namespace velk {

using namespace bmp;

std::vector<uint8_t> WriteBmp(const Bitmap& bitmap) {
  // A default-constructed bitmap has no depth; its (empty) file still needs a valid one.
  const int bits = Bitmap::ValidBitsPerPixel(bitmap.BitsPerPixel()) ? bitmap.BitsPerPixel() : 24;
  const size_t stride = bitmap.Stride();
  const size_t imageSize = stride * size_t(bitmap.Height());
  // Palette bitmaps write what they hold (at most 2^bits entries); an emptied palette is
  // written as 2^bits black entries, since biClrUsed = 0 would claim a full one anyway.
  size_t paletteCount = 0;
  if (bitmap.HasPalette()) {
    const size_t full = size_t(1) << bits;
    paletteCount = bitmap.Palette().empty() ? full : std::min(bitmap.Palette().size(), full);
  }
  const size_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * paletteCount;

  // The rows are appended to the headers, not written over zeros: one pass over the pixels.
  std::vector<uint8_t> file;
  file.reserve(offBits + imageSize);
  AdviseLargePages(file.data(), file.capacity());
  file.resize(offBits, 0);
  uint8_t* p = file.data();
  p[0] = 'B';
  p[1] = 'M';
  Store32(p + 2, uint32_t(offBits + imageSize));
  Store32(p + 10, uint32_t(offBits));
  uint8_t* h = p + kFileHeaderSize;
  Store32(h, kInfoHeaderSize);
  Store32(h + 4, uint32_t(bitmap.Width()));
  Store32(h + 8, uint32_t(bitmap.Height()));
  Store16(h + 12, 1);
  Store16(h + 14, uint16_t(bits));
  Store32(h + 16, kRgb);
  Store32(h + 20, uint32_t(imageSize));
  Store32(h + 32, uint32_t(paletteCount));  // resolution and biClrImportant stay 0

  uint8_t* entry = h + kInfoHeaderSize;
  for (size_t i = 0; i < paletteCount && i < bitmap.Palette().size(); ++i, entry += 4) {
    const RGBQuad& c = bitmap.Palette()[i];
    entry[0] = c.blue;
    entry[1] = c.green;
    entry[2] = c.red;
  }
  for (int y = bitmap.Height() - 1; y >= 0; --y)
    file.insert(file.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + stride);
  return file;
}

void SaveBmpFile(const Bitmap& bitmap, const std::string& path) {
  if (!WriteFileAtomically(path, WriteBmp(bitmap)))
    throw EFileError("Cannot create file \"" + path + "\".");
}

}  // namespace velk
