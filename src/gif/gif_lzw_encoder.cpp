#include "gif/gif_lzw_encoder.h"

#include <cstring>
#include <memory>
#include <vector>

#include "gif/gif_bytes.h"
#include "gif/gif_exception.h"

namespace velk {

namespace {
constexpr unsigned kHashSize = 8009;  // a prime above twice the 4096 codes
constexpr unsigned kFirstClearAt = 4095;
constexpr unsigned kMaxWidth = 12;
constexpr uint32_t kEmpty = 0xFFFFFFFF;

// Strings (prefix code, pixel) keyed by prefix * 256 + pixel, open addressing.
class StringTable {
public:
  StringTable() { Clear(); }
  void Clear() { std::memset(keys_, 0xFF, sizeof keys_); }
  // The code of the key, or -1; slot is where the key belongs when absent.
  int Find(uint32_t key, unsigned& slot) const {
    unsigned h = key % kHashSize;
    while (keys_[h] != kEmpty) {
      if (keys_[h] == key) return codes_[h];
      if (++h == kHashSize) h = 0;
    }
    slot = h;
    return -1;
  }
  void Insert(unsigned slot, uint32_t key, unsigned code) {
    keys_[slot] = key;
    codes_[slot] = uint16_t(code);
  }

private:
  uint32_t keys_[kHashSize];
  uint16_t codes_[kHashSize];
};

// Codes packed least significant bit first.
class CodeWriter {
public:
  explicit CodeWriter(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  void Put(unsigned code, unsigned width) {
    bits_ |= uint64_t(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      bytes_.push_back(uint8_t(bits_));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  void Flush() {
    if (count_ > 0) bytes_.push_back(uint8_t(bits_));
    bits_ = 0;
    count_ = 0;
  }

private:
  std::vector<uint8_t>& bytes_;
  uint64_t bits_ = 0;
  unsigned count_ = 0;
};
}  // namespace

void EncodeGIFLZW(const uint8_t* pixels, size_t count, int minCodeSize, int colorCount,
                  GIFByteWriter& writer) {
  const unsigned clear = 1u << minCodeSize;
  const unsigned endOfInformation = clear + 1;
  const unsigned initialWidth = unsigned(minCodeSize) + 1;
  const unsigned colors = unsigned(colorCount);

  std::vector<uint8_t> bytes;
  bytes.reserve(count / 2 + 16);
  CodeWriter out(bytes);
  auto table = std::make_unique<StringTable>();
  unsigned width = initialWidth;
  unsigned nextFree = clear + 2;
  // Writes a code; the width grows once the next free code no longer fits it.
  auto output = [&](unsigned code) {
    out.Put(code, width);
    if (nextFree > (1u << width) - 1 && width < kMaxWidth) ++width;
  };

  out.Put(clear, width);
  if (count > 0) {
    if (pixels[0] >= colors) throw GIFException(gif_messages::kColorNotInTable);
    unsigned prefix = pixels[0];
    for (size_t i = 1; i < count; ++i) {
      const unsigned pixel = pixels[i];
      if (pixel >= colors) throw GIFException(gif_messages::kColorNotInTable);
      const uint32_t key = (prefix << 8) | pixel;
      unsigned slot = 0;
      const int found = table->Find(key, slot);
      if (found >= 0) {
        prefix = unsigned(found);
        continue;
      }
      output(prefix);
      prefix = pixel;
      if (nextFree >= kFirstClearAt) {
        out.Put(clear, width);
        table->Clear();
        width = initialWidth;
        nextFree = clear + 2;
      } else {
        table->Insert(slot, key, nextFree++);
      }
    }
    output(prefix);
  }
  out.Put(endOfInformation, width);
  out.Flush();

  writer.Byte(uint8_t(minCodeSize));
  writer.SubBlocks(bytes);
}

}  // namespace velk
