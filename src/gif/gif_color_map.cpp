#include "gif/gif_color_map.h"

#include <algorithm>

#include "gif/gif_bytes.h"

namespace velk {

int TGIFColorMap::Add(TGIFColor color) {
  if (count_ >= kMaxColors) return -1;
  colors_[size_t(count_)] = color;
  return count_++;
}

void TGIFColorMap::Clear() {
  colors_.fill(TGIFColor{});
  count_ = 0;
  optimized_ = false;
}

void TGIFColorMap::Assign(const std::vector<RGBQuad>& palette) {
  Clear();
  for (const RGBQuad& entry : palette) {
    if (Add(TGIFColor{entry.red, entry.green, entry.blue}) < 0) break;
  }
}

std::vector<RGBQuad> TGIFColorMap::ToPalette() const {
  std::vector<RGBQuad> palette(kMaxColors);
  for (int i = 0; i < count_; ++i)
    palette[size_t(i)] =
        RGBQuad{colors_[size_t(i)].blue, colors_[size_t(i)].green, colors_[size_t(i)].red, 0};
  return palette;
}

int TGIFColorMap::BitsPerPixel() const {
  if (count_ == 0) return 0;
  int bits = 1;
  while ((1 << bits) < count_) ++bits;
  return bits;
}

void TGIFColorMap::Load(GIFByteReader& reader, int count) {
  Clear();
  const uint8_t* bytes = reader.Take(size_t(count) * 3);
  for (int i = 0; i < count; ++i, bytes += 3) Add(TGIFColor{bytes[0], bytes[1], bytes[2]});
}

void TGIFColorMap::Save(GIFByteWriter& writer, int bits) const {
  const int entries = 1 << bits;
  for (int i = 0; i < entries; ++i) {
    const TGIFColor color = i < count_ ? colors_[size_t(i)] : TGIFColor{};
    writer.Byte(color.red);
    writer.Byte(color.green);
    writer.Byte(color.blue);
  }
}

bool operator==(const TGIFColorMap& a, const TGIFColorMap& b) {
  return a.count_ == b.count_ && a.optimized_ == b.optimized_ &&
         std::equal(a.colors_.begin(), a.colors_.begin() + a.count_, b.colors_.begin());
}

}  // namespace velk
