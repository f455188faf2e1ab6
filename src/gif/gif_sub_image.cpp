#include "gif/gif_sub_image.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gif/gif_bytes.h"
#include "gif/gif_frame_render.h"
#include "gif/gif_header.h"
#include "gif/gif_lzw_decoder.h"
#include "gif/gif_lzw_encoder.h"

namespace velk {

std::vector<int> GIFInterlacedRows(int height) {
  std::vector<int> rows;
  rows.reserve(size_t(height));
  static constexpr int kStart[] = {0, 4, 2, 1};
  static constexpr int kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  return rows;
}

TGIFSubImage::TGIFSubImage() = default;
TGIFSubImage::TGIFSubImage(TGIFSubImage&&) noexcept = default;
TGIFSubImage& TGIFSubImage::operator=(TGIFSubImage&&) noexcept = default;
TGIFSubImage::~TGIFSubImage() = default;

TGIFSubImage::TGIFSubImage(const TGIFSubImage& other)
    : left_(other.left_),
      top_(other.top_),
      width_(other.width_),
      height_(other.height_),
      packed_(other.packed_),
      colorMap_(other.colorMap_),
      pixels_(other.pixels_) {
  for (const auto& extension : other.extensions_) extensions_.push_back(extension->Clone());
}

TGIFSubImage& TGIFSubImage::operator=(const TGIFSubImage& other) {
  if (this != &other) *this = TGIFSubImage(other);
  return *this;
}

void TGIFSubImage::SetBounds(int left, int top, int width, int height) {
  if (width < 0 || height < 0 || size_t(width) * size_t(height) > kMaxBitmapBytes)
    throw std::bad_alloc();
  pixels_ = GIFPixels(size_t(width) * size_t(height));
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  DropRendered();
}

TGIFColorMap& TGIFSubImage::MutableColorMap() {
  DropRendered();
  return colorMap_;
}

const TGIFColorMap& TGIFSubImage::ActiveColorMap(const TGIFHeader& header) const {
  return colorMap_.Empty() ? header.colorMap : colorMap_;
}

GIFPixels& TGIFSubImage::MutableData() {
  DropRendered();
  return pixels_;
}

void TGIFSubImage::AddExtension(std::unique_ptr<TGIFExtension> extension) {
  extensions_.push_back(std::move(extension));
  DropRendered();
}

const TGIFGraphicControlExtension* TGIFSubImage::GraphicControlExtension() const {
  for (auto it = extensions_.rbegin(); it != extensions_.rend(); ++it)
    if (auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(it->get())) return control;
  return nullptr;
}

const TGIFAppExtNSLoop* TGIFSubImage::LoopExtension() const {
  for (const auto& extension : extensions_)
    if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extension.get())) return loop;
  return nullptr;
}

void TGIFSubImage::Load(GIFByteReader& reader, const TGIFHeader& header,
                        const GIFWarningHandler& warn) {
  DropRendered();
  left_ = reader.Word();
  top_ = reader.Word();
  width_ = reader.Word();
  height_ = reader.Word();
  packed_ = reader.Byte();
  if (width_ == 0 || height_ == 0) {
    width_ = header.width;
    height_ = header.height;
    GIFWarning(warn, gif_messages::kImageExceedsScreen);
  }
  colorMap_.Clear();
  if (packed_ & kLocalColorMapFlag) {
    colorMap_.Load(reader, 2 << (packed_ & 7));
    colorMap_.SetOptimized(packed_ & kSortedFlag);
  }
  const int minCodeSize = reader.Byte();
  std::vector<uint8_t> lzw;
  reader.SubBlocks(lzw);
  DecodePixels(lzw, minCodeSize, warn);
}

void TGIFSubImage::DecodePixels(const std::vector<uint8_t>& lzw, int minCodeSize,
                                const GIFWarningHandler& warn) {
  const size_t count = PixelCount();
  if (count > kMaxBitmapBytes) throw std::bad_alloc();
  if (!Interlaced() || count == 0) {
    GIFPixels pixels(count, kLZWOutputSlack);
    DecodeGIFLZW(lzw.data(), lzw.size(), minCodeSize, pixels.data(), count, warn);
    pixels_ = std::move(pixels);
    return;
  }
  GIFPixels stored(count, kLZWOutputSlack);
  const size_t decoded =
      DecodeGIFLZW(lzw.data(), lzw.size(), minCodeSize, stored.data(), count, warn);
  GIFPixels pixels(count);
  const std::vector<int> rows = GIFInterlacedRows(height_);
  const size_t width = size_t(width_);
  // Only the rows that were decoded; the others stay 0.
  for (size_t i = 0; i < rows.size() && i * width < decoded; ++i)
    std::memcpy(pixels.data() + size_t(rows[i]) * width, stored.data() + i * width,
                std::min(width, decoded - i * width));
  pixels_ = std::move(pixels);
}

void TGIFSubImage::Save(GIFByteWriter& writer, const TGIFHeader& header) const {
  for (const auto& extension : extensions_) extension->Save(writer);
  writer.Byte(',');
  writer.Word(uint16_t(left_));
  writer.Word(uint16_t(top_));
  writer.Word(uint16_t(width_));
  writer.Word(uint16_t(height_));
  uint8_t packed = packed_ & ~kLocalColorMapFlag;
  const int localBits = colorMap_.BitsPerPixel();
  if (localBits > 0)
    packed =
        uint8_t(kLocalColorMapFlag | (colorMap_.Optimized() ? kSortedFlag : 0) | (localBits - 1));
  writer.Byte(packed);
  if (localBits > 0) colorMap_.Save(writer, localBits);

  const TGIFColorMap& colors = ActiveColorMap(header);
  const int minCodeSize = std::max(2, colors.BitsPerPixel());
  if (!(packed & kInterlacedFlag) || PixelCount() == 0) {
    EncodeGIFLZW(pixels_.data(), PixelCount(), minCodeSize, colors.Count(), writer);
    return;
  }
  // A frame that keeps its interlace flag is stored with its rows in interlaced order.
  GIFPixels stored(PixelCount());
  const size_t width = size_t(width_);
  const std::vector<int> rows = GIFInterlacedRows(height_);
  for (size_t i = 0; i < rows.size(); ++i)
    std::memcpy(stored.data() + i * width, pixels_.data() + size_t(rows[i]) * width, width);
  EncodeGIFLZW(stored.data(), PixelCount(), minCodeSize, colors.Count(), writer);
}

const TGIFFrameBitmap& TGIFSubImage::Rendered(const TGIFHeader& header, bool dither) const {
  if (!rendered_ || renderedDithered_ != dither) {
    rendered_ =
        std::make_unique<TGIFFrameBitmap>(RenderGIFFrame(*this, ActiveColorMap(header), dither));
    renderedDithered_ = dither;
  }
  return *rendered_;
}

void TGIFSubImage::DropRendered() const { rendered_.reset(); }

}  // namespace velk
