#include "gif/gif_lzw_decoder.h"

#include <cstring>

namespace velk {

namespace {
constexpr unsigned kMaxCodes = 4096;
constexpr unsigned kMaxWidth = 12;

// Copies length bytes from an earlier part of the output in 8-byte steps. Every byte read below
// length lies before to, so the steps may overlap; the bytes written past length are garbage that
// later strings overwrite (or slack).
inline void CopyString(uint8_t* to, const uint8_t* from, unsigned length) {
  for (unsigned k = 0; k < length; k += 8) {
    uint64_t chunk;
    std::memcpy(&chunk, from + k, 8);
    std::memcpy(to + k, &chunk, 8);
  }
}
}  // namespace

size_t DecodeGIFLZW(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t count,
                    const GIFWarningHandler& warn) {
  if (minCodeSize > 8) throw GIFException(gif_messages::kClearCodeTooLarge);
  if (minCodeSize < 2) throw GIFException(gif_messages::kStartIndexTooLarge);
  if (count == 0) return 0;

  const unsigned clear = 1u << minCodeSize;
  const unsigned endOfInformation = clear + 1;
  // A table string is a copy of earlier output: where it was first written, and its length.
  uint32_t stringAt[kMaxCodes];
  uint16_t stringLength[kMaxCodes];

  unsigned width = unsigned(minCodeSize) + 1;
  unsigned mask = (1u << width) - 1;
  unsigned next = clear + 2;
  bool havePrevious = false;
  size_t previousAt = 0;  // where the previous code's string was written
  unsigned previousLength = 0;

  const uint8_t* in = data;
  const uint8_t* const end = data + size;
  uint64_t bits = 0;
  unsigned bitCount = 0;
  size_t written = 0;

  while (written < count) {
    if (bitCount < width) {
      if (end - in >= 8) {
        uint64_t word;
        std::memcpy(&word, in, 8);
        bits |= word << bitCount;
        in += (63 - bitCount) >> 3;
        bitCount |= 56;
      } else {
        while (bitCount <= 56 && in < end) {
          bits |= uint64_t(*in++) << bitCount;
          bitCount += 8;
        }
        if (bitCount < width) {
          GIFWarning(warn, gif_messages::kBitBufferUnderrun);
          break;
        }
      }
    }
    const unsigned code = unsigned(bits) & mask;
    bits >>= width;
    bitCount -= width;

    if (code == clear) {
      width = unsigned(minCodeSize) + 1;
      mask = (1u << width) - 1;
      next = clear + 2;
      havePrevious = false;
      continue;
    }
    if (code == endOfInformation) break;

    const size_t at = written;
    unsigned length;
    if (code < clear) {
      out[at] = uint8_t(code);
      length = 1;
    } else if (code < next) {
      length = stringLength[code];
      CopyString(out + at, out + stringAt[code], length);
    } else if (code == next) {
      // The string being defined: the previous one plus its own first pixel.
      if (!havePrevious) throw GIFException(gif_messages::kCircularEntry);
      length = previousLength + 1;
      CopyString(out + at, out + previousAt, previousLength);
      out[at + previousLength] = out[previousAt];
    } else {
      throw GIFException(gif_messages::kCodeTooLarge);
    }

    if (havePrevious && next < kMaxCodes) {
      stringAt[next] = uint32_t(previousAt);
      stringLength[next] = uint16_t(previousLength + 1);
      if (++next == (1u << width) && width < kMaxWidth) mask = (1u << ++width) - 1;
    }
    havePrevious = true;
    previousAt = at;
    previousLength = length;
    written += length;
  }

  if (written < count) {
    GIFWarning(warn, gif_messages::kPrematureEnd);
    return written;
  }
  return count;
}

}  // namespace velk
