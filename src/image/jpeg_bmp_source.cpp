#include "image/jpeg_bmp_source.h"

#include <type_traits>

#include <jerror.h>

#include "image/jpeg_errors.h"

namespace velk {

static_assert(std::is_trivially_destructible_v<JpegBmpSource>);

namespace {

uint32_t U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
int32_t S32(const uint8_t* p) { return int32_t(U32(p)); }

bool KnownInfoHeader(uint32_t size) {
  // Windows info headers (40, V2 52, V3 56, V4 108, V5 124) and OS/2 2.x (64).
  return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

}  // namespace

void JpegBmpSource::Start(j_compress_ptr cinfo, const uint8_t* data, size_t size) {
  const auto common = reinterpret_cast<j_common_ptr>(cinfo);
  if (size < 18) JpegFail(common, JERR_INPUT_EOF);
  if (data[0] != 'B' || data[1] != 'M') JpegFail(common, JERR_BMP_NOT);
  const uint32_t offBits = U32(data + 10);
  const uint32_t headerSize = U32(data + 14);
  const bool core = headerSize == 12;
  if (!core && !KnownInfoHeader(headerSize)) JpegFail(common, JERR_BMP_BADHEADER);
  if (size < 14 + headerSize) JpegFail(common, JERR_INPUT_EOF);
  const uint8_t* h = data + 14;

  int64_t width, height;
  uint32_t planes, bits, compression = 0, colorsUsed = 0;
  if (core) {
    width = U16(h + 4);
    height = U16(h + 6);
    planes = U16(h + 8);
    bits = U16(h + 10);
  } else {
    width = S32(h + 4);
    height = S32(h + 8);
    planes = U16(h + 12);
    bits = U16(h + 14);
    compression = U32(h + 16);
    colorsUsed = U32(h + 32);
  }
  if (planes != 1) JpegFail(common, JERR_BMP_BADPLANES);
  if (bits != 8 && bits != 24) JpegFail(common, JERR_BMP_BADDEPTH);
  if (compression != 0) JpegFail(common, JERR_BMP_COMPRESSED);
  if (!core) {
    // Pixels per metre become a density in dots per centimetre.
    const int32_t xPerMetre = S32(h + 24), yPerMetre = S32(h + 28);
    if (xPerMetre > 0 && yPerMetre > 0) {
      cinfo->density_unit = 2;
      cinfo->X_density = UINT16(xPerMetre / 100);
      cinfo->Y_density = UINT16(yPerMetre / 100);
    }
  }
  if (width < 0 || height == INT32_MIN) JpegFail(common, JERR_BMP_OUTOFRANGE);
  if (width == 0 || height == 0) JpegFail(common, JERR_BMP_EMPTY);
  bottomUp_ = height > 0;
  if (height < 0) height = -height;

  // The colour map sits right after the info header.
  uint64_t mapBytes = 0;
  if (bits == 8) {
    const uint32_t mapEntrySize = core ? 3 : 4;
    mapLength_ = colorsUsed == 0 ? 256 : colorsUsed;
    if (mapLength_ > 256) JpegFail(common, JERR_BMP_BADCMAP);
    mapBytes = uint64_t(mapLength_) * mapEntrySize;
    if (size - 14 - headerSize < mapBytes) JpegFail(common, JERR_INPUT_EOF);
    const uint8_t* entry = h + headerSize;
    for (unsigned i = 0; i < mapLength_; ++i, entry += mapEntrySize) {
      map_[i][0] = entry[2];
      map_[i][1] = entry[1];
      map_[i][2] = entry[0];
    }
  }
  if (offBits < 14 + headerSize + mapBytes) JpegFail(common, JERR_BMP_BADHEADER);

  stride_ = size_t((uint64_t(width) * bits + 31) / 32 * 4);
  if (offBits > size || (size - offBits) / stride_ < uint64_t(height))
    JpegFail(common, JERR_INPUT_EOF);
  pixels_ = data + offBits;
  bits_ = int(bits);
  width_ = JDIMENSION(width);
  height_ = JDIMENSION(height);
  nextRow_ = 0;

  cinfo->image_width = width_;
  cinfo->image_height = height_;
  cinfo->in_color_space = JCS_RGB;
  cinfo->input_components = 3;
  cinfo->data_precision = 8;
  buffer_ = (*cinfo->mem->alloc_sarray)(common, JPOOL_IMAGE, width_ * 3, 1);
}

JDIMENSION JpegBmpSource::ReadRows(j_compress_ptr cinfo) {
  if (nextRow_ >= height_) JpegFail(reinterpret_cast<j_common_ptr>(cinfo), JERR_INPUT_EOF);
  const JDIMENSION stored = bottomUp_ ? height_ - 1 - nextRow_ : nextRow_;
  const uint8_t* in = pixels_ + stored * stride_;
  JSAMPLE* out = buffer_[0];
  if (bits_ == 24) {
    for (JDIMENSION x = 0; x < width_; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  } else {
    for (JDIMENSION x = 0; x < width_; ++x, out += 3) {
      const unsigned index = in[x];
      if (index >= mapLength_) JpegFail(reinterpret_cast<j_common_ptr>(cinfo), JERR_BMP_CMAP_INDEX);
      out[0] = map_[index][0];
      out[1] = map_[index][1];
      out[2] = map_[index][2];
    }
  }
  ++nextRow_;
  return 1;
}

}  // namespace velk
