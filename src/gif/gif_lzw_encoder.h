#pragma once
// The LZW encoder of GIF image data.
#include <cstddef>
#include <cstdint>

namespace velk {

class GIFByteWriter;

// Writes the minimum code size byte, then the pixels' LZW codes in data sub-blocks of at most
// 255 bytes and the terminator. Throws GIFException("Color not in color table") for a pixel not
// below colorCount.
void EncodeGIFLZW(const uint8_t* pixels, size_t count, int minCodeSize, int colorCount,
                  GIFByteWriter& writer);

}  // namespace velk
