#include "image/tiff_decoders.h"

#include <climits>

#include "image/tiff_format.h"
#include "image/tiff_pixels.h"
#include "platform/dialogs.h"

namespace velk {
namespace {

using namespace tiff;

// The lines that follow every compressed-image message.
constexpr const char* kRequestLines =
    "\n\nThis kind of TIFF image is not supported yet."
    "\nPlease ask for it to be implemented in a future version.";

// Red, green and blue tables for the image being built, filled anew for every image.
struct ColourTables {
  uint8_t red[256], green[256], blue[256];

  ColourTables() {
    for (int i = 0; i < 256; ++i) Set(i, uint8_t(i));
  }
  void Set(int i, uint8_t v) { red[i] = green[i] = blue[i] = v; }
  std::vector<RGBQuad> Palette(int bits) const {
    std::vector<RGBQuad> palette(size_t(1) << bits);
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = {blue[i], green[i], red[i], 0};
    return palette;
  }
};

// Fails a check: shows its message and gives nothing to decode.
std::nullopt_t Refuse(const std::string& text) {
  ShowTiffMessage(text);
  return std::nullopt;
}

std::nullopt_t RefuseCompressed(const char* kind) {
  return Refuse(std::string("Cant read compressed ") + kind + kRequestLines);
}

// The checks every decoder starts with. A zero size cannot be shown and reads as a missing tag.
bool SizeAndCompression(const TGraphicTiff& dir, TiffImage& image, const char* kind,
                        bool checkPhotometric = false) {
  const auto width = dir.Value(kImageWidth);
  if (!width || *width == 0) return Refuse("Error reading tag Image Width"), false;
  const auto height = dir.Value(kImageLength);
  if (!height || *height == 0) return Refuse("Error reading tag Image Height"), false;
  if (checkPhotometric && !dir.Value(kPhotometric))
    return Refuse("Error reading tag Photometric interpretation"), false;
  const auto compression = dir.Value(kCompression);
  if (!compression) return Refuse("Error reading tag Compression"), false;
  if (*compression != kNoCompression) return RefuseCompressed(kind), false;
  image.directory = &dir;
  image.width = *width;
  image.height = *height;
  return true;
}

// Grey and palette pixels are one sample each; a grey+alpha or three-sample grey image would
// otherwise be read as a wider picture of garbage. Without SamplesPerPixel the count of
// BitsPerSample tells.
bool OneSamplePerPixel(const TGraphicTiff& dir) {
  const TiffEntry* bits = dir.Entry(kBitsPerSample);
  const uint32_t implied = bits && bits->count > 1 ? bits->count : 1;
  return dir.Value(kSamplesPerPixel).value_or(implied) == 1;
}

constexpr const char* kNotOneSample = "Error: Samples Per Pixel not 1";

std::optional<TiffImage> Bilevel(const TGraphicTiff& dir, uint32_t photometric) {
  TiffImage image;
  if (!SizeAndCompression(dir, image, "bilevel image", true)) return std::nullopt;
  if (!OneSamplePerPixel(dir)) return Refuse(kNotOneSample);
  ColourTables tables;
  tables.Set(0, photometric == kWhiteIsZero ? 255 : 0);
  tables.Set(1, photometric == kWhiteIsZero ? 0 : 255);
  image.bits = 1;
  image.palette = tables.Palette(1);
  return image;
}

std::optional<TiffImage> Grey(const TGraphicTiff& dir, uint32_t photometric) {
  TiffImage image;
  if (!SizeAndCompression(dir, image, "Gray Scale Image")) return std::nullopt;
  const auto bits = dir.Value(kBitsPerSample);
  if (!bits) return Refuse("Error reading tag Bits Per Sample");
  if (*bits != 4 && *bits != 8) return Refuse("Error: Bits Per Sample not 4 or 8");
  if (!OneSamplePerPixel(dir)) return Refuse(kNotOneSample);
  ColourTables tables;
  if (*bits == 4)
    for (int i = 0; i < 16; ++i) tables.Set(i, uint8_t(i * 255 / 15));
  if (photometric == kWhiteIsZero)
    for (int i = 0; i < (*bits == 4 ? 16 : 256); ++i) tables.Set(i, uint8_t(255 - tables.red[i]));
  image.bits = int(*bits);
  image.palette = tables.Palette(image.bits);
  return image;
}

std::optional<TiffImage> Palette(const TGraphicTiff& dir) {
  TiffImage image;
  if (!SizeAndCompression(dir, image, "ColorPaletImage")) return std::nullopt;
  const auto bits = dir.Value(kBitsPerSample);
  if (!bits) return Refuse("Error reading tag Bits Per Sample");
  const TiffEntry* map = dir.Entry(kColorMap);
  if (!map) return Refuse("Error reading tag Color Table Offset");
  if (*bits != 1 && *bits != 4 && *bits != 8)
    return Refuse("Error: Bits Per Sample (Palette) not 1, 4 or 8");
  if (!OneSamplePerPixel(dir)) return Refuse(kNotOneSample);
  ColourTables tables;
  const uint32_t n = map->count / 3;
  if (n > 0 && n <= 256) {
    std::vector<uint32_t> values;
    if (!dir.Values(*map, values)) return Refuse("Error reading tag Color Table Offset");
    // 16-bit components: the high byte is the 8-bit one.
    for (uint32_t i = 0; i < n; ++i) {
      tables.red[i] = uint8_t(values[i] >> 8);
      tables.green[i] = uint8_t(values[n + i] >> 8);
      tables.blue[i] = uint8_t(values[2 * n + i] >> 8);
    }
  }
  image.bits = int(*bits);
  image.palette = tables.Palette(image.bits);
  return image;
}

bool AllSamplesEight(const TGraphicTiff& dir, const TiffEntry& bits) {
  if (bits.count == 1) return dir.Value(kBitsPerSample) == 8u;
  std::vector<uint32_t> values;
  return bits.count >= 3 && dir.Values(bits, values) && values[0] == 8 && values[1] == 8 &&
         values[2] == 8;
}

std::optional<TiffImage> Rgb(const TGraphicTiff& dir) {
  TiffImage image;
  if (!SizeAndCompression(dir, image, "RGB Full Color Image")) return std::nullopt;
  const TiffEntry* bits = dir.Entry(kBitsPerSample);
  if (!bits || !dir.Value(kBitsPerSample)) return Refuse("Error reading tag Bits Per Sample");
  if (!AllSamplesEight(dir, *bits)) return Refuse("Error: Bits Per Sample (RGB) not 8");
  // Without SamplesPerPixel the count of BitsPerSample tells; a single value stands for three.
  const uint32_t samples = dir.Value(kSamplesPerPixel).value_or(bits->count == 1 ? 3 : bits->count);
  if (samples != 3) return Refuse("Error: Samples Per Pixel (RGB) not 3");
  if (dir.Value(kPlanarConfiguration) == kPlanarSeparate)
    return Refuse("Cant read RGB Full Color Image with separate planes");
  image.bits = 24;
  image.rgb = true;
  return image;
}

std::optional<TiffImage> Decoder(const TGraphicTiff& dir, uint32_t photometric) {
  if (photometric == kRgb) return Rgb(dir);
  if (photometric == kPalette) return Palette(dir);
  const auto bits = dir.Value(kBitsPerSample);
  if (!bits || *bits == 1) return Bilevel(dir, photometric);
  // Grey of any other depth goes to the grey decoder, whose depth check refuses it.
  return Grey(dir, photometric);
}

}  // namespace

namespace {
thread_local TiffMessages* keptMessages = nullptr;
}  // namespace

TiffMessages::TiffMessages() : outer_(keptMessages) { keptMessages = this; }
TiffMessages::~TiffMessages() { keptMessages = outer_; }

void ShowTiffMessage(const std::string& text) {
  if (keptMessages) {
    keptMessages->messages_.push_back(text);
    return;
  }
  AppDialogs().Message(MessageKind::Information, text, MessageButtons::Ok);
}

std::optional<TiffImage> CheckTiffDirectory(const TGraphicTiff& dir, uint32_t photometric) {
  auto image = Decoder(dir, photometric);
  if (!image) return std::nullopt;
  // Tiles are refused even beside strip tags: read as strips they would come out scrambled.
  for (const uint16_t tag : {kTileWidth, kTileLength, kTileOffsets, kTileByteCounts})
    if (dir.Entry(tag)) return Refuse(std::string("Cant read tiled image") + kRequestLines);
  if (dir.StripCount() == 0) return Refuse("Error reading tag Strip Offsets");
  if (image->width > uint32_t(INT_MAX) || image->height > uint32_t(INT_MAX) ||
      !Bitmap::SizeAllowed(int(image->width), int(image->height), image->bits))
    return Refuse("Out Of Memory ");
  if (!StripsHoldImage(*image, dir.Owner().FileSize())) return Refuse("Error reading image data");
  image->reverseBits = dir.Value(kFillOrder) == kFillLowBitFirst;
  return image;
}

}  // namespace velk
