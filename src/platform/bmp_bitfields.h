#pragma once
// One colour channel of a BI_BITFIELDS pixel: a contiguous mask of any width, widened or
// narrowed to 8 bits.
#include <bit>
#include <cstdint>

namespace velk::bmp {

class BitfieldChannel {
public:
  // False when the mask is not a single run of set bits. A zero mask gives a channel of 0.
  bool Init(uint32_t mask) {
    mask_ = mask;
    if (mask == 0) return true;
    shift_ = std::countr_zero(mask);
    const uint32_t run = mask >> shift_;
    if (run & (run + 1)) return false;
    bits_ = std::popcount(run);
    // Narrow channels are scaled with rounding so that full scale becomes 255 (5 bits: 31 -> 255).
    if (bits_ < 8)
      for (uint32_t v = 0; v <= run; ++v) table_[v] = uint8_t((v * 255 + run / 2) / run);
    return true;
  }

  int Bits() const { return bits_; }

  uint8_t Scale(uint32_t pixel) const {
    const uint32_t v = (pixel & mask_) >> shift_;
    return bits_ >= 8 ? uint8_t(v >> (bits_ - 8)) : table_[v];
  }

private:
  uint32_t mask_ = 0;
  int shift_ = 0;
  int bits_ = 0;
  uint8_t table_[128] = {};
};

}  // namespace velk::bmp
