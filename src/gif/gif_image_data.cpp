#include "gif/gif_image_data.h"

#include <algorithm>
#include <cstring>

#include "gif/gif_frame_render.h"

namespace velk {

GIFImageData::GIFImageData(const GIFImageData& other)
    : settings(other.settings), header_(other.header_), images_(other.images_) {}

GIFImageData& GIFImageData::operator=(const GIFImageData& other) {
  if (this != &other) {
    settings = other.settings;
    header_ = other.header_;
    images_ = other.images_;
    Changed();
  }
  return *this;
}

TGIFHeader& GIFImageData::MutableHeader() {
  Changed();
  return header_;
}

TGIFSubImage& GIFImageData::MutableImage(size_t index) {
  Changed();
  return images_.at(index);
}

TGIFSubImage& GIFImageData::AddImage() {
  Changed();
  return images_.emplace_back();
}

void GIFImageData::Clear() {
  header_.Clear();
  images_.clear();
  Changed();
}

void GIFImageData::Changed() {
  firstFrame_.reset();
  for (const TGIFSubImage& image : images_) image.DropRendered();
}

void GIFImageData::SetImageBounds(TGIFSubImage& image, int left, int top, int width, int height) {
  image.SetBounds(left, top, width, height);
  const int right = left + width, bottom = top + height;
  const bool screenEmpty = header_.width == 0 || header_.height == 0;
  if (!screenEmpty && (right > header_.width || bottom > header_.height)) {
    if (right > header_.width) GIFWarning(OnWarning, gif_messages::kScreenWidthTooSmall);
    if (bottom > header_.height) GIFWarning(OnWarning, gif_messages::kScreenHeightTooSmall);
    GIFWarning(OnWarning, gif_messages::kImageExceedsScreen);
  }
  header_.width = uint16_t(std::clamp(std::max<int>(header_.width, right), 0, 0xFFFF));
  header_.height = uint16_t(std::clamp(std::max<int>(header_.height, bottom), 0, 0xFFFF));
  Changed();
}

void GIFImageData::Assign(const Bitmap& bitmap) {
  Clear();
  if (bitmap.Empty()) return;
  TGIFSubImage& frame = AddImage();
  SetImageBounds(frame, 0, 0, bitmap.Width(), bitmap.Height());
  uint8_t* out = frame.MutableData().data();
  const int width = bitmap.Width(), bits = bitmap.BitsPerPixel();
  if (bitmap.HasPalette() && !bitmap.Palette().empty()) {
    frame.MutableColorMap().Assign(bitmap.Palette());
    for (int y = 0; y < bitmap.Height(); ++y, out += width) {
      const uint8_t* row = bitmap.ScanLine(y);
      for (int x = 0; x < width; ++x) {
        switch (bits) {
          case 1:
            out[x] = (row[x / 8] >> (7 - x % 8)) & 1;
            break;
          case 4:
            out[x] = x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
            break;
          default:
            out[x] = row[x];
            break;
        }
      }
    }
    return;
  }
  frame.MutableColorMap().Assign(
      std::vector<RGBQuad>(Fixed216Palette().begin(), Fixed216Palette().begin() + 216));
  for (int y = 0; y < bitmap.Height(); ++y, out += width) {
    const uint8_t* row = bitmap.ScanLine(y);
    if (bits == 24 || bits == 32) {
      const int step = bits / 8;
      for (int x = 0; x < width; ++x, row += step) out[x] = Fixed216Index(row[2], row[1], row[0]);
    } else {
      for (int x = 0; x < width; ++x) {
        const RGBQuad c = bitmap.PixelColor(x, y);
        out[x] = Fixed216Index(c.red, c.green, c.blue);
      }
    }
  }
}

std::vector<RGBQuad> GIFImageData::Palette() const {
  if (!header_.colorMap.Empty() || images_.empty()) return header_.colorMap.ToPalette();
  return images_.front().ColorMap().ToPalette();
}

namespace {
// The frame at its place on a screen-sized bitmap, without transparency. In the screen's palette
// the indices are copied; a frame in other colours keeps them in true colour.
Bitmap OnScreen(const TGIFSubImage& frame, const Bitmap& rendered, int width, int height,
                const std::vector<RGBQuad>& palette) {
  const bool samePalette = rendered.Palette() == palette;
  Bitmap screen(width, height, samePalette ? 8 : 24);
  if (samePalette) {
    screen.Palette() = palette;
  } else {
    for (int y = 0; y < height; ++y)
      for (uint8_t* p = screen.ScanLine(y); p < screen.ScanLine(y) + 3 * width; p += 3)
        p[0] = palette[0].blue, p[1] = palette[0].green, p[2] = palette[0].red;
  }
  const int x0 = std::max(0, frame.Left()), x1 = std::min(width, frame.Left() + frame.Width());
  const int y0 = std::max(0, frame.Top()), y1 = std::min(height, frame.Top() + frame.Height());
  for (int y = y0; y < y1; ++y) {
    const uint8_t* source = rendered.ScanLine(y - frame.Top());
    uint8_t* row = screen.ScanLine(y);
    for (int x = x0; x < x1; ++x) {
      const uint8_t index = source[x - frame.Left()];
      if (samePalette) {
        row[x] = index;
        continue;
      }
      const RGBQuad c = rendered.Palette()[index];
      row[3 * x] = c.blue, row[3 * x + 1] = c.green, row[3 * x + 2] = c.red;
    }
  }
  return screen;
}
}  // namespace

const Bitmap& GIFImageData::FirstFrameBitmap(bool dither) const {
  if (firstFrame_ && firstFrameDithered_ == dither) return *firstFrame_;
  if (images_.empty()) {
    firstFrame_ = std::make_unique<Bitmap>();
  } else {
    const TGIFSubImage& frame = images_.front();
    const Bitmap& rendered = frame.Rendered(header_, dither).bitmap;
    const bool fills = frame.Width() == header_.width && frame.Height() == header_.height;
    firstFrame_ = std::make_unique<Bitmap>(
        fills ? rendered : OnScreen(frame, rendered, header_.width, header_.height, Palette()));
  }
  firstFrameDithered_ = dither;
  return *firstFrame_;
}

}  // namespace velk
