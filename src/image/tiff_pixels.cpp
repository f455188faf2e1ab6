#include "image/tiff_pixels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace velk {
namespace {

// Bytes read at a time: small enough that the R,G,B reorder finds them still in the cache.
constexpr uint64_t kChunkBytes = 256 * 1024;

// Stored R,G,B pixels to the bitmap's B,G,R, in place.
void SwapRedAndBlue(uint8_t* row, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x, row += 3) std::swap(row[0], row[2]);
}

// Each byte with its bits in reverse order, for files that fill bytes from the low bit.
constexpr auto kReversedBytes = [] {
  std::array<uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v)
    for (int bit = 0; bit < 8; ++bit)
      if (v & (1 << bit)) table[size_t(v)] |= uint8_t(0x80 >> bit);
  return table;
}();

void ReverseBits(uint8_t* bytes, uint64_t count) {
  for (uint64_t i = 0; i < count; ++i) bytes[i] = kReversedBytes[bytes[i]];
}

// Puts the stored bytes, in file order, into the bitmap's padded rows.
class RowFiller {
public:
  RowFiller(const TiffSource& source, const TiffImage& image, Bitmap& bitmap)
      : source_(source), image_(image), bitmap_(bitmap),
        rowBytes_(TiffRowBytes(image.width, image.bits)),
        contiguous_(rowBytes_ == bitmap.Stride()) {
    if (!contiguous_) scratch_.resize(kChunkBytes);
  }

  // Reads `count` bytes at `offset` as the next part of the rows.
  bool Read(uint64_t offset, uint64_t count) {
    while (count > 0) {
      const uint64_t chunk = std::min(count, kChunkBytes);
      if (contiguous_) {  // rows without padding form one run: read straight into it
        uint8_t* target = bitmap_.Bits() + done_;
        if (!source_.ReadExactly(offset, target, size_t(chunk))) return false;
        if (image_.reverseBits) ReverseBits(target, chunk);
        done_ += chunk;
      } else {
        if (!source_.ReadExactly(offset, scratch_.data(), size_t(chunk))) return false;
        if (image_.reverseBits) ReverseBits(scratch_.data(), chunk);
        Scatter(scratch_.data(), chunk);
      }
      offset += chunk;
      count -= chunk;
      if (image_.rgb) {
        for (const uint64_t full = done_ / rowBytes_; rowsSwapped_ < full; ++rowsSwapped_)
          SwapRedAndBlue(bitmap_.ScanLine(int(rowsSwapped_)), image_.width);
      }
    }
    return true;
  }

private:
  void Scatter(const uint8_t* data, uint64_t count) {
    while (count > 0) {
      const uint64_t column = done_ % rowBytes_;
      const uint64_t part = std::min(count, rowBytes_ - column);
      std::memcpy(bitmap_.ScanLine(int(done_ / rowBytes_)) + column, data, size_t(part));
      data += part;
      count -= part;
      done_ += part;
    }
  }

  const TiffSource& source_;
  const TiffImage& image_;
  Bitmap& bitmap_;
  const uint64_t rowBytes_;
  const bool contiguous_;
  std::vector<uint8_t> scratch_;
  uint64_t done_ = 0;
  uint64_t rowsSwapped_ = 0;
};

}  // namespace

uint64_t TiffRowBytes(uint32_t width, int bits) {
  return (uint64_t(width) * unsigned(bits) + 7) / 8;
}

bool StripsHoldImage(const TiffImage& image, uint64_t fileSize) {
  uint64_t total = 0;
  for (const TiffStrip& strip : image.directory->Strips()) {
    if (uint64_t(strip.offset) + strip.byteCount > fileSize) return false;
    total += strip.byteCount;
  }
  return total / TiffRowBytes(image.width, image.bits) >= image.height;
}

bool ReadTiffPixels(const TiffSource& source, const TiffImage& image, Bitmap& bitmap) {
  Bitmap result(int(image.width), int(image.height), image.bits);
  if (result.HasPalette()) result.Palette() = image.palette;
  RowFiller rows(source, image, result);
  const uint64_t needed = TiffRowBytes(image.width, image.bits) * image.height;
  // Strips that follow each other in the file are read as one run.
  uint64_t planned = 0, runOffset = 0, runBytes = 0;
  for (const TiffStrip& strip : image.directory->Strips()) {
    if (planned == needed) break;
    const uint64_t take = std::min<uint64_t>(strip.byteCount, needed - planned);
    if (take == 0) continue;  // an empty strip adds nothing
    if (runBytes > 0 && strip.offset == runOffset + runBytes) {
      runBytes += take;
    } else {
      if (!rows.Read(runOffset, runBytes)) return false;
      runOffset = strip.offset;
      runBytes = take;
    }
    planned += take;
  }
  if (planned < needed || !rows.Read(runOffset, runBytes)) return false;
  bitmap = std::move(result);
  return true;
}

}  // namespace velk
