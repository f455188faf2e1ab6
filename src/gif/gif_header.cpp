#include "gif/gif_header.h"

#include "gif/gif_bytes.h"

namespace velk {

void TGIFHeader::Load(GIFByteReader& reader) {
  width = reader.Word();
  height = reader.Word();
  packed = reader.Byte();
  backgroundIndex = reader.Byte();
  aspectRatio = reader.Byte();
  colorMap.Clear();
  if (packed & kGlobalColorMapFlag) {
    colorMap.Load(reader, 2 << (packed & 7));
    colorMap.SetOptimized(packed & kSortedFlag);
  }
}

}  // namespace velk
