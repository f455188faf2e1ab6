#pragma once
// Writing a bitmap as an uncompressed TIFF file: Intel order, one strip, one directory of 15
// entries after the data. 1, 4 and 8-bit bitmaps become palette images; 16, 24 and 32-bit
// bitmaps become 8-bit RGB.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace velk {

// The whole file. An empty bitmap gives no bytes.
std::vector<uint8_t> WriteBitmapAsTiff(const Bitmap& bitmap);
// Replaces the file atomically; throws EFileError when it cannot be written.
void SaveBitmapAsTiff(const std::string& path, const Bitmap& bitmap);

}  // namespace velk
