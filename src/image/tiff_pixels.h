#pragma once
// Strip reading: stored rows go straight into the bitmap's padded rows.
#include <cstdint>

#include "image/tiff_decoders.h"
#include "image/tiff_file.h"
#include "platform/bitmap.h"

namespace velk {

// Bytes of one stored row: ceil(width x bits / 8).
uint64_t TiffRowBytes(uint32_t width, int bits);
// True when every strip lies inside the file and the strips together hold every row.
bool StripsHoldImage(const TiffImage& image, uint64_t fileSize);
// Builds the image's bitmap from its strips. Throws std::bad_alloc when there is no memory for
// it; false when a strip cannot be read after all (the bitmap is then left as it was).
bool ReadTiffPixels(const TiffSource& source, const TiffImage& image, Bitmap& bitmap);

}  // namespace velk
