#pragma once
// Windows bitmap files: our own reader (every form the platform's bitmap loader accepts) and
// writer (the bitmap's own pixel format).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace velk {

// The framework's text for a bitmap file it cannot read.
inline constexpr const char* kInvalidBitmapMessage = "Bitmap image is not valid";

// Decodes a whole BMP file held in memory. Throws EInvalidGraphic(kInvalidBitmapMessage) for
// malformed, truncated or unsupported data; std::bad_alloc for sizes beyond kMaxBitmapBytes.
Bitmap ReadBmp(const uint8_t* data, size_t size);
inline Bitmap ReadBmp(const std::vector<uint8_t>& bytes) { return ReadBmp(bytes.data(), bytes.size()); }
// Reads a file; a file that cannot be opened throws EFileError.
Bitmap LoadBmpFile(const std::string& path);

// A complete BMP file (BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows) in the bitmap's
// own pixel format; palette bitmaps carry their palette.
std::vector<uint8_t> WriteBmp(const Bitmap& bitmap);
// Writes atomically; throws EFileError on failure, leaving any old file as it was.
void SaveBmpFile(const Bitmap& bitmap, const std::string& path);

}  // namespace velk
