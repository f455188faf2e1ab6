#pragma once
// The largest picture a few bytes may claim, for targets that load whole pictures: a GIF frame,
// run-length BMP or truncated JPEG of 30000 x 30000 pixels fills a gigabyte from a 40-byte
// input, which only slows the search. Every code path is reached as well with small pictures.
#include <cstddef>
#include <cstdint>

namespace fuzz {

inline constexpr uint64_t kMaxPixels = uint64_t(1) << 16;  // 256 x 256, or 1024 x 64

inline unsigned Word(const uint8_t* p) { return p[0] | p[1] << 8; }

// The GIF's screen and every frame descriptor its blocks lead to, as far as they are intact,
// walked as the loader walks them ("GIF" in any case, maybe 4 bytes in; zero bytes skipped).
inline bool GifWithinLimit(const uint8_t* data, size_t size) {
  auto signatureAt = [&](size_t at) {
    return size >= at + 13 && (data[at] | 0x20) == 'g' && (data[at + 1] | 0x20) == 'i' &&
           (data[at + 2] | 0x20) == 'f';
  };
  const size_t start = signatureAt(0) ? 0 : signatureAt(4) ? 4 : size;
  if (start == size) return true;
  data += start;
  size -= start;
  if (uint64_t(Word(data + 6)) * Word(data + 8) > kMaxPixels) return false;
  size_t at = 13;
  if (data[10] & 0x80) at += size_t(3) << ((data[10] & 7) + 1);
  auto skipSubBlocks = [&] {
    while (at < size && data[at] != 0) at += size_t(data[at]) + 1;
    ++at;
  };
  while (at < size) {
    if (data[at] == 0) {
      ++at;
    } else if (data[at] == 0x21) {
      at += 2;
      skipSubBlocks();
    } else if (data[at] == 0x2C && at + 10 <= size) {
      if (uint64_t(Word(data + at + 5)) * Word(data + at + 7) > kMaxPixels) return false;
      const uint8_t packed = data[at + 9];
      at += 10;
      if (packed & 0x80) at += size_t(3) << ((packed & 7) + 1);
      at += 1;  // the LZW code size
      skipSubBlocks();
    } else {
      break;
    }
  }
  return true;
}

// A BMP's declared size (core or info header); only run-length data can claim more pixels
// than the file holds, but the check is the same for all.
inline bool BmpWithinLimit(const uint8_t* data, size_t size) {
  if (size < 26 || data[0] != 'B' || data[1] != 'M') return true;
  const uint32_t header = data[14] | data[15] << 8 | data[16] << 16 | uint32_t(data[17]) << 24;
  if (header == 12) return uint64_t(Word(data + 18)) * Word(data + 20) <= kMaxPixels;
  auto int32At = [&](size_t at) {
    return int64_t(int32_t(data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                           uint32_t(data[at + 3]) << 24));
  };
  const int64_t width = int32At(18), height = int32At(22);
  return uint64_t(width < 0 ? -width : width) * uint64_t(height < 0 ? -height : height) <=
         kMaxPixels;
}

// Every frame header (SOFn) anywhere in a JPEG: libjpeg skips what lies between markers, and
// makes up the rows a truncated file lacks.
inline bool JpegWithinLimit(const uint8_t* data, size_t size, uint64_t maxPixels = kMaxPixels) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return true;
  for (size_t at = 2; at + 9 <= size; ++at) {
    const uint8_t marker = data[at + 1];
    if (data[at] != 0xFF || marker < 0xC0 || marker > 0xCF || marker == 0xC4 ||
        marker == 0xC8 || marker == 0xCC)
      continue;
    const uint64_t height = unsigned(data[at + 5]) << 8 | data[at + 6];
    const uint64_t width = unsigned(data[at + 7]) << 8 | data[at + 8];
    if (width * height > maxPixels) return false;
  }
  return true;
}

// What the loaders of all kinds may be given.
inline bool PictureWithinLimit(const uint8_t* data, size_t size) {
  return GifWithinLimit(data, size) && BmpWithinLimit(data, size) && JpegWithinLimit(data, size);
}

}  // namespace fuzz
