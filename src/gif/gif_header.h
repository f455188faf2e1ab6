#pragma once
// The logical screen: its size, packed flags, background colour index, pixel aspect ratio and
// the global colour map.
#include <cstdint>

#include "gif/gif_color_map.h"

namespace velk {

class TGIFHeader {
public:
  static constexpr uint8_t kGlobalColorMapFlag = 0x80;
  static constexpr uint8_t kSortedFlag = 0x08;

  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t packed = 0;
  uint8_t backgroundIndex = 0;
  uint8_t aspectRatio = 0;
  TGIFColorMap colorMap;

  // Reads the 7-byte logical screen descriptor and, when flagged, the global colour map.
  void Load(GIFByteReader& reader);
  void Clear() { *this = TGIFHeader(); }
};

}  // namespace velk
