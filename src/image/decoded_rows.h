#pragma once
// Where a JPEG decoder's rows go: straight into the bitmap's rows, or, for a picture to be
// turned or mirrored, through a buffer of one batch into the places its orientation gives
// them. A turned photo then needs no unturned copy: half the memory, and the rows are turned
// while they are still in the cache.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "photo/orientation.h"
#include "platform/bitmap.h"

namespace velk {

class DecodedRows {
public:
  // `bitmap` is already of the oriented size (OrientedBlank); width and height are the
  // decoder's.
  DecodedRows(Bitmap& bitmap, int width, int height, int orientation)
      : bitmap_(bitmap), width_(width), height_(height), orientation_(orientation),
        rowBytes_(size_t(width) * size_t(bitmap.BitsPerPixel() / 8)) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitmap_.BitsPerPixel(); }
  // Rows to decode before placing them: a turn writes 64 pixels of a target row at a time,
  // three whole cache lines of 24-bit pixels.
  int BatchRows() const { return InPlace() ? 16 : kMostBatchRows; }
  static constexpr int kMostBatchRows = 64;
  // What placing a row costs beside decoding it (measured on 12 MP photos): nothing in place,
  // a fifth for a mirror, two fifths for a quarter turn.
  double PlaceCost() const { return InPlace() ? 0 : orientation_ < 5 ? 0.2 : 0.4; }

  // Points rows[0] to rows[count - 1] at where rows first... are to be decoded; the buffer is
  // the calling thread's own.
  void Aim(uint8_t** rows, int first, int count, std::vector<uint8_t>& buffer) const {
    if (InPlace()) {
      for (int i = 0; i < count; ++i) rows[i] = bitmap_.ScanLine(first + i);
      return;
    }
    if (buffer.size() < rowBytes_ * size_t(count)) buffer.resize(rowBytes_ * size_t(count));
    for (int i = 0; i < count; ++i) rows[i] = buffer.data() + rowBytes_ * size_t(i);
  }
  // Puts rows decoded through Aim where they belong.
  void Place(int first, int count, const std::vector<uint8_t>& buffer) const {
    if (!InPlace())
      PlaceOrientedRows(buffer.data(), rowBytes_, first, count, width_, height_, orientation_,
                        bitmap_);
  }

private:
  bool InPlace() const { return orientation_ == kOrientationAsStored; }

  Bitmap& bitmap_;
  int width_, height_, orientation_;
  size_t rowBytes_;
};

}  // namespace velk
