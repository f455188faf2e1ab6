#pragma once
// Reading uncompressed baseline TIFF files into a bitmap. Callers choose this reader by the
// extension ".tif" or ".tiff". Each problem is shown in a message box of its own (through the
// dialogs service) and the load then reports failure.
#include <string>

#include "image/tiff_file.h"
#include "platform/bitmap.h"

namespace velk {

// Decodes every directory of the file's chain in turn: the last decodable one's image is what
// the bitmap holds on success. On failure the bitmap is cleared.
bool LoadTiffIntoBitmap(const std::string& path, Bitmap& bitmap);
// The same for a file already opened (bytes in memory, for instance).
bool LoadTiffIntoBitmap(const TFileTiff& file, Bitmap& bitmap);

}  // namespace velk
