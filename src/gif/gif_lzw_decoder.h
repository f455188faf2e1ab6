#pragma once
// The variable-length-code LZW decoder of GIF image data.
#include <cstddef>
#include <cstdint>

#include "gif/gif_exception.h"

namespace velk {

// Bytes beyond the pixel count that the decoder may write into (whole strings are copied in
// 8-byte steps and cut afterwards).
inline constexpr size_t kLZWOutputSlack = 4096 + 16;

// Decodes LZW data (the data sub-blocks joined) into out, which must hold count +
// kLZWOutputSlack bytes, and returns the number of pixels decoded (at most count). Throws
// GIFException for corrupt data: "ClearCode too large" (minimum code size above 8),
// "StartIndex too large" (below 2), "Code too large" (a code beyond the table),
// "Circular decoder table entry" (a code that would define itself). Data that ends before the
// pixels do gives the warnings "Decoder bit buffer under-run" and "Premature end of data".
size_t DecodeGIFLZW(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t count,
                    const GIFWarningHandler& warn);

}  // namespace velk
