#pragma once
// One frame of a GIF: its place on the logical screen, flags, local colour map, pixels (a colour
// index a byte, in display order) and the extensions read before it.
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/gif_color_map.h"
#include "gif/gif_exception.h"
#include "gif/gif_extension.h"
#include "gif/gif_pixels.h"

namespace velk {

class GIFByteReader;
class GIFByteWriter;
class TGIFHeader;
struct TGIFFrameBitmap;

class TGIFSubImage {
public:
  static constexpr uint8_t kLocalColorMapFlag = 0x80;
  static constexpr uint8_t kInterlacedFlag = 0x40;
  static constexpr uint8_t kSortedFlag = 0x20;

  TGIFSubImage();
  TGIFSubImage(const TGIFSubImage& other);  // the cached bitmap is not copied
  TGIFSubImage& operator=(const TGIFSubImage& other);
  TGIFSubImage(TGIFSubImage&&) noexcept;
  TGIFSubImage& operator=(TGIFSubImage&&) noexcept;
  ~TGIFSubImage();

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  size_t PixelCount() const { return size_t(width_) * size_t(height_); }
  // Moves and sizes the frame; the pixels become width x height zeros. Throws std::bad_alloc
  // beyond kMaxBitmapBytes pixels.
  void SetBounds(int left, int top, int width, int height);

  uint8_t Packed() const { return packed_; }
  void SetPacked(uint8_t packed) { packed_ = packed; }
  bool Interlaced() const { return packed_ & kInterlacedFlag; }

  const TGIFColorMap& ColorMap() const { return colorMap_; }
  TGIFColorMap& MutableColorMap();
  // The local colour map when it has colours, else the global one.
  const TGIFColorMap& ActiveColorMap(const TGIFHeader& header) const;

  const GIFPixels& Data() const { return pixels_; }
  GIFPixels& MutableData();

  const std::vector<std::unique_ptr<TGIFExtension>>& Extensions() const { return extensions_; }
  void AddExtension(std::unique_ptr<TGIFExtension> extension);
  // The graphic control extension that applies to the frame: the last one before it.
  const TGIFGraphicControlExtension* GraphicControlExtension() const;
  // The first loop extension among the frame's extensions.
  const TGIFAppExtNSLoop* LoopExtension() const;

  // Reads the image descriptor after its separator, the local colour map and the LZW data.
  void Load(GIFByteReader& reader, const TGIFHeader& header, const GIFWarningHandler& warn);
  // Writes the extensions, the image descriptor, the local colour map and the LZW data.
  void Save(GIFByteWriter& writer, const TGIFHeader& header) const;

  // The frame as a bitmap (made once per dither choice, kept until the frame changes).
  const TGIFFrameBitmap& Rendered(const TGIFHeader& header, bool dither) const;
  void DropRendered() const;

private:
  void DecodePixels(const std::vector<uint8_t>& lzw, int minCodeSize,
                    const GIFWarningHandler& warn);

  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  uint8_t packed_ = 0;
  TGIFColorMap colorMap_;
  GIFPixels pixels_;
  std::vector<std::unique_ptr<TGIFExtension>> extensions_;
  mutable std::unique_ptr<TGIFFrameBitmap> rendered_;
  mutable bool renderedDithered_ = false;
};

// The display rows of an interlaced frame in the order they are stored.
std::vector<int> GIFInterlacedRows(int height);

}  // namespace velk
