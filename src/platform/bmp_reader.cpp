// Reads every form of Windows bitmap file the platform's loader accepts: core, info, v2-v5 and
// simple OS/2 2.x headers; 1-32 bits; BI_RGB, RLE8/RLE4 and bit fields; bottom-up or top-down.
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/bmp_bitfields.h"
#include "platform/bmp_codec.h"
#include "platform/bmp_format.h"
#include "platform/bmp_rle.h"
#include "platform/errors.h"

namespace velk {
namespace {

using namespace bmp;

// A file can hold up to two bytes of RLE data per pixel; anything larger is not worth reading.
constexpr uint64_t kMaxFileBytes = 2 * uint64_t(kMaxBitmapBytes) + (uint64_t(1) << 20);

[[noreturn]] void Invalid() { throw EInvalidGraphic(kInvalidBitmapMessage); }

// What the headers say about the pixel data.
struct Layout {
  int width = 0;
  int height = 0;  // rows; always positive
  bool topDown = false;
  int bits = 0;
  uint32_t compression = kRgb;
  uint32_t masks[4] = {};  // red, green, blue, alpha
  std::vector<RGBQuad> palette;
  size_t pixelOffset = 0;
};

bool KnownHeaderSize(uint32_t size) {
  switch (size) {
    case kCoreHeaderSize: case kInfoHeaderSize: case kInfoV2HeaderSize: case kInfoV3HeaderSize:
    case kOs2V2HeaderSize: case kV4HeaderSize: case kV5HeaderSize:
      return true;
    default:
      return false;
  }
}

// The OS/2 2.x header is taken only where it means what an info header means: no Huffman or
// RLE24 compression, rows from the bottom, RGB colour encoding.
bool SimpleOs2Header(const uint8_t* header, uint32_t compression) {
  return compression <= kRle4 && Load16(header + 44) == 0 && Load32(header + 56) == 0;
}

bool CompressionFits(const Layout& layout, uint32_t headerSize) {
  switch (layout.compression) {
    case kRgb: return true;
    case kRle8: return layout.bits == 8 && !layout.topDown;
    case kRle4: return layout.bits == 4 && !layout.topDown;
    case kBitfields:
    case kAlphaBitfields:
      return (layout.bits == 16 || layout.bits == 32) && headerSize != kOs2V2HeaderSize;
    default: return false;  // BI_JPEG, BI_PNG and unknown codes
  }
}

Layout ParseHeaders(const uint8_t* data, size_t size) {
  if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') Invalid();
  const uint32_t offBits = Load32(data + 10);
  const uint32_t headerSize = Load32(data + 14);
  if (!KnownHeaderSize(headerSize) || size < kFileHeaderSize + headerSize) Invalid();
  const uint8_t* h = data + kFileHeaderSize;

  Layout layout;
  int64_t height;
  unsigned planes;
  uint32_t colorsUsed = 0;
  size_t entrySize = 4;
  if (headerSize == kCoreHeaderSize) {
    layout.width = Load16(h + 4);
    height = Load16(h + 6);
    planes = Load16(h + 8);
    layout.bits = Load16(h + 10);
    entrySize = 3;
  } else {
    layout.width = int32_t(Load32(h + 4));
    height = int32_t(Load32(h + 8));
    planes = Load16(h + 12);
    layout.bits = Load16(h + 14);
    layout.compression = Load32(h + 16);
    colorsUsed = Load32(h + 32);
    if (headerSize == kOs2V2HeaderSize && !SimpleOs2Header(h, layout.compression)) Invalid();
  }
  if (planes != 1 || !Bitmap::ValidBitsPerPixel(layout.bits) || layout.width <= 0 ||
      height == 0 || height == INT32_MIN)
    Invalid();
  layout.topDown = height < 0;
  layout.height = int(layout.topDown ? -height : height);
  if (!CompressionFits(layout, headerSize)) Invalid();

  // Bit-field masks sit in the v2+ headers, or in 3 (4 with alpha) DWORDs after an info header.
  size_t tableStart = kFileHeaderSize + headerSize;
  if (layout.compression == kBitfields || layout.compression == kAlphaBitfields) {
    if (headerSize == kInfoHeaderSize) {
      const int count = layout.compression == kAlphaBitfields ? 4 : 3;
      if (size - tableStart < size_t(4 * count)) Invalid();
      for (int i = 0; i < count; ++i) layout.masks[i] = Load32(data + tableStart + 4 * i);
      tableStart += 4 * count;
    } else {
      for (int i = 0; i < (headerSize >= kInfoV3HeaderSize ? 4 : 3); ++i)
        layout.masks[i] = Load32(h + 40 + 4 * i);
    }
  }

  // The pixels start at bfOffBits, whatever gap lies before; a palette that bfOffBits cuts
  // short keeps the entries that fit.
  if (offBits < tableStart || offBits > size) Invalid();
  layout.pixelOffset = offBits;
  if (layout.bits <= 8) {
    size_t count = size_t(1) << layout.bits;
    if (colorsUsed != 0) count = std::min<size_t>(count, colorsUsed);
    count = std::min(count, (offBits - tableStart) / entrySize);
    if (count == 0) Invalid();
    layout.palette.resize(count);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* e = data + tableStart + i * entrySize;
      layout.palette[i] = RGBQuad{e[0], e[1], e[2], 0};
    }
  }
  return layout;
}

// Bytes per file row; throws when the pixel array is too short for every row. The last row may
// lack its padding.
size_t CheckPixelArray(const Layout& layout, size_t available) {
  const size_t stride = Bitmap::StrideFor(layout.width, layout.bits);
  const uint64_t lastRow = (uint64_t(layout.width) * layout.bits + 7) / 8;
  const uint64_t rows = uint64_t(layout.height) - 1;
  if (available < lastRow || (rows > 0 && (available - lastRow) / rows < stride)) Invalid();
  return stride;
}

int OutputRow(const Layout& layout, int fileRow) {
  return layout.topDown ? fileRow : layout.height - 1 - fileRow;
}

// Pixel formats the Bitmap shares with the file: one copy per row.
Bitmap CopyRows(const Layout& layout, const uint8_t* pixels, size_t available) {
  const size_t stride = CheckPixelArray(layout, available);
  Bitmap bitmap(layout.width, layout.height, layout.bits);
  for (int r = 0; r < layout.height; ++r) {
    const size_t start = size_t(r) * stride;
    std::memcpy(bitmap.ScanLine(OutputRow(layout, r)), pixels + start,
                std::min(stride, available - start));
  }
  return bitmap;
}

// 16-bit masks other than 5-5-5 become 24 bits; 32-bit ones become B, G, R, alpha-or-0.
Bitmap DecodeBitfields(const Layout& layout, const uint8_t* pixels, size_t available) {
  BitfieldChannel channels[4];
  const uint32_t outside = layout.bits == 16 ? 0xFFFF0000u : 0u;
  for (int i = 0; i < 4; ++i)
    if ((layout.masks[i] & outside) || !channels[i].Init(layout.masks[i])) Invalid();
  const size_t stride = CheckPixelArray(layout, available);
  const int outBytes = layout.bits == 32 ? 4 : 3;
  Bitmap bitmap(layout.width, layout.height, outBytes * 8);
  for (int r = 0; r < layout.height; ++r) {
    const uint8_t* in = pixels + size_t(r) * stride;
    uint8_t* out = bitmap.ScanLine(OutputRow(layout, r));
    for (int x = 0; x < layout.width; ++x, out += outBytes) {
      const uint32_t v = layout.bits == 16 ? Load16(in + 2 * x) : Load32(in + 4 * x);
      out[0] = channels[2].Scale(v);
      out[1] = channels[1].Scale(v);
      out[2] = channels[0].Scale(v);
      if (outBytes == 4) out[3] = channels[3].Scale(v);
    }
  }
  return bitmap;
}

bool Is555(const Layout& layout) {
  return layout.bits == 16 && layout.masks[0] == 0x7C00 && layout.masks[1] == 0x03E0 &&
         layout.masks[2] == 0x001F;
}

// True when no pixel uses an index past the first `count` palette entries.
bool IndicesWithin(const Bitmap& bitmap, size_t count) {
  const int bits = bitmap.BitsPerPixel();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      unsigned index = row[size_t(x) * bits / 8];
      if (bits == 4) index = x & 1 ? index & 15 : index >> 4;
      if (bits == 1) index = (index >> (7 - (x & 7))) & 1;
      if (index >= count) return false;
    }
  }
  return true;
}

}  // namespace

Bitmap ReadBmp(const uint8_t* data, size_t size) {
  const Layout layout = ParseHeaders(data, size);
  const uint8_t* pixels = data + layout.pixelOffset;
  const size_t available = size - layout.pixelOffset;
  Bitmap bitmap;
  std::optional<unsigned> highestIndex;  // known for run-length data without a scan
  if (layout.compression == kRle8 || layout.compression == kRle4) {
    bitmap = Bitmap(layout.width, layout.height, layout.bits);
    if (!DecodeRle(pixels, available, bitmap, highestIndex.emplace())) Invalid();
  } else if (layout.compression == kRgb || Is555(layout)) {
    bitmap = CopyRows(layout, pixels, available);
  } else {
    bitmap = DecodeBitfields(layout, pixels, available);
  }
  if (bitmap.HasPalette()) {
    // A short palette must cover every index used.
    const size_t count = layout.palette.size();
    if (count < bitmap.Palette().size() && !bitmap.Empty() &&
        (highestIndex ? *highestIndex >= count : !IndicesWithin(bitmap, count)))
      Invalid();
    std::copy(layout.palette.begin(), layout.palette.end(), bitmap.Palette().begin());
  }
  return bitmap;
}

Bitmap LoadBmpFile(const std::string& path) {
  const auto bytes = ReadWholeFile(path, kMaxFileBytes);
  if (!bytes) throw EFileError("Cannot open file \"" + path + "\".");
  return ReadBmp(*bytes);
}

}  // namespace velk
