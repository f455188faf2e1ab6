#pragma once
// Turning and mirroring a picture the way its file says it was taken: the EXIF Orientation
// tag of JPEG files (APP1 "Exif") and TIFF's own Orientation tag share its eight values.
#include <cstddef>
#include <cstdint>

#include "platform/bitmap.h"

namespace velk {

// 1 top-left (as stored), 2 mirrored left-right, 3 turned half way, 4 mirrored top-bottom,
// 5 transposed, 6 to be turned a quarter clockwise, 7 transversed, 8 a quarter anticlockwise.
inline constexpr int kOrientationAsStored = 1;
inline bool ValidOrientation(int value) { return value >= 1 && value <= 8; }

// The Orientation of an APP1 segment's payload ("Exif\0\0" and a TIFF header); 1 when the
// segment is not EXIF, has no such tag, or any of it lies outside the bytes.
int ExifOrientation(const uint8_t* payload, size_t size);
// Where in that payload the Orientation's two value bytes lie (and their byte order); 0 when
// there are none.
size_t ExifOrientationOffset(const uint8_t* payload, size_t size, bool* bigEndian);

// The picture as it is meant to be seen: orientations 5 to 8 swap width and height. Any
// depth and palette; 1 and values outside 1..8 give the bitmap back unchanged.
Bitmap Oriented(Bitmap source, int orientation);

// The same in steps, for a decoder that hands out rows: a zeroed bitmap of the oriented size,
// and rows [first, first + count) of a width x height picture of 8, 16, 24 or 32 bits (row y
// at rows + (y - first) * stride) put where the orientation takes them. Bands of rows may be
// placed from several threads at once.
Bitmap OrientedBlank(int width, int height, int bitsPerPixel, int orientation);
void PlaceOrientedRows(const uint8_t* rows, size_t stride, int first, int count, int width,
                       int height, int orientation, Bitmap& target);

}  // namespace velk
