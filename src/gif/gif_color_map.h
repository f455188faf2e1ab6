#pragma once
// A GIF colour table: up to 256 colours as red, green, blue bytes, and the "sorted" flag.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace velk {

class GIFByteReader;
class GIFByteWriter;

struct TGIFColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const TGIFColor&, const TGIFColor&) = default;
};

class TGIFColorMap {
public:
  static constexpr int kMaxColors = 256;

  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  // The "sorted" (optimized) flag of the file.
  bool Optimized() const { return optimized_; }
  void SetOptimized(bool optimized) { optimized_ = optimized; }

  const TGIFColor& operator[](int index) const { return colors_[size_t(index)]; }
  TGIFColor& operator[](int index) { return colors_[size_t(index)]; }
  // Appends a colour; a full map ignores it and returns -1, else the new index.
  int Add(TGIFColor color);
  void Clear();
  // The palette's entries (at most 256) become the colours.
  void Assign(const std::vector<RGBQuad>& palette);
  // The colours as bitmap palette entries, padded with black to 256 so every index is defined.
  std::vector<RGBQuad> ToPalette() const;

  // The smallest bits with 2^bits >= Count(), at least 1; 0 for an empty map.
  int BitsPerPixel() const;

  void Load(GIFByteReader& reader, int count);
  // Writes the colours padded with black up to 2^bits entries.
  void Save(GIFByteWriter& writer, int bits) const;

  friend bool operator==(const TGIFColorMap& a, const TGIFColorMap& b);

private:
  std::array<TGIFColor, kMaxColors> colors_{};
  int count_ = 0;
  bool optimized_ = false;
};

}  // namespace velk
