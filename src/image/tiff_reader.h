#pragma once
// Reading uncompressed baseline TIFF files into a bitmap. Callers choose this reader by the
// extension ".tif" or ".tiff". Each problem is shown in a message box of its own (through the
// dialogs service) and the load then reports failure.
#include <cstdint>
#include <string>
#include <vector>

#include "image/tiff_file.h"
#include "platform/bitmap.h"

namespace velk {

// Decodes every directory of the file's chain in turn: the last decodable one's image is what
// the bitmap holds on success. On failure the bitmap is cleared.
bool LoadTiffIntoBitmap(const std::string& path, Bitmap& bitmap);
// How the page the bitmap holds was meant to be seen: its Orientation tag (1 to 8, 1 when
// missing or out of range) and its embedded ICC profile (empty when none or unreadable).
struct TiffViewing {
  int orientation = 1;
  std::vector<uint8_t> profile;
};
// The same for a file already opened (bytes in memory, for instance), also telling how the
// page is to be seen when `viewing` is given.
bool LoadTiffIntoBitmap(const TFileTiff& file, Bitmap& bitmap, TiffViewing* viewing = nullptr);

// The picture as it is meant to be seen: turned by its Orientation tag and converted from its
// colour profile to sRGB, each when asked for. Fails as LoadTiffIntoBitmap does.
bool LoadTiffPhoto(const std::string& path, Bitmap& bitmap, bool applyOrientation,
                   bool convertProfile);

}  // namespace velk
