#include "image/tiff_writer.h"

#include <cstring>

#include "image/tiff_format.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"

namespace velk {
namespace {

using namespace tiff;

constexpr char kSoftwareName[] = "Quorbitane";
constexpr uint32_t kSoftwareLength = sizeof kSoftwareName - 1;  // stored without its zero
constexpr uint16_t kEntries = 15;
constexpr uint32_t kDirectorySize = 2 + kEntries * kEntrySize + 4;
constexpr uint32_t kResolution[2] = {877, 10};

// Appends the file front to back into a buffer sized up front.
class TiffBuilder {
public:
  explicit TiffBuilder(size_t size) : bytes_(size) {
    bytes_[0] = 'I';
    bytes_[1] = 'I';
    Put16(&bytes_[2], kMagic);
    at_ = kHeaderSize;
  }
  uint32_t Position() const { return uint32_t(at_); }
  uint8_t* Take(size_t count) {
    uint8_t* p = &bytes_[at_];
    at_ += count;
    return p;
  }
  void Short(uint16_t v) { Put16(Take(2), v); }
  void Long(uint32_t v) { Put32(Take(4), v); }
  uint32_t Rational() {
    const uint32_t at = Position();
    Long(kResolution[0]);
    Long(kResolution[1]);
    return at;
  }
  uint32_t Software() {
    const uint32_t at = Position();
    std::memcpy(Take(kSoftwareLength), kSoftwareName, kSoftwareLength);
    return at;
  }
  // Directory entries in ascending tag order; the count is known in advance.
  void BeginDirectory() {
    directory_ = Position();
    Short(kEntries);
  }
  void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    uint8_t* p = Take(kEntrySize);
    Put16(p, tag);
    Put16(p + 2, type);
    Put32(p + 4, count);
    if (type == kShort) Put16(p + 8, uint16_t(value));  // the two high bytes stay zero
    else Put32(p + 8, value);
  }
  // SHORT when the number fits in 16 bits, LONG beyond.
  void Dimension(uint16_t tag, uint32_t value) {
    Entry(tag, value > 0xFFFF ? kLong : kShort, 1, value);
  }
  std::vector<uint8_t> Finish() {
    Long(0);  // no next directory
    Put32(&bytes_[4], directory_);
    return std::move(bytes_);
  }

private:
  std::vector<uint8_t> bytes_;
  size_t at_ = 0;
  uint32_t directory_ = 0;
};

// What a file's one directory says about its single strip of pixels.
struct Directory {
  uint32_t width, height;
  uint32_t samples;        // 1 (palette) or 3 (RGB)
  uint32_t bitsPerSample;  // the depth itself for one sample, else where the three are stored
  uint32_t photometric;
  uint32_t pixels, pixelBytes;
  uint32_t xres, yres, software;  // where these values are stored
  uint32_t colourMapCount = 0, colourMap = 0;  // palette files only
};

// The fifteen entries, in ascending tag order: RGB files state their planar configuration,
// palette files carry their colour map.
void WriteDirectory(TiffBuilder& file, const Directory& d) {
  file.BeginDirectory();
  file.Entry(kNewSubfileType, kLong, 1, 0);
  file.Dimension(kImageWidth, d.width);
  file.Dimension(kImageLength, d.height);
  file.Entry(kBitsPerSample, kShort, d.samples, d.bitsPerSample);
  file.Entry(kCompression, kShort, 1, kNoCompression);
  file.Entry(kPhotometric, kShort, 1, d.photometric);
  file.Entry(kStripOffsets, kLong, 1, d.pixels);
  file.Entry(kSamplesPerPixel, kShort, 1, d.samples);
  file.Entry(kRowsPerStrip, kLong, 1, d.height);
  file.Entry(kStripByteCounts, kLong, 1, d.pixelBytes);
  file.Entry(kXResolution, kRational, 1, d.xres);
  file.Entry(kYResolution, kRational, 1, d.yres);
  if (d.samples == 3) file.Entry(kPlanarConfiguration, kShort, 1, 1);
  file.Entry(kResolutionUnit, kShort, 1, 2);
  file.Entry(kSoftware, kAscii, kSoftwareLength, d.software);
  if (d.colourMapCount) file.Entry(kColorMap, kShort, d.colourMapCount, d.colourMap);
}

std::vector<uint8_t> WritePalette(const Bitmap& bitmap) {
  const int bits = bitmap.BitsPerPixel();
  const uint32_t colours = 1u << bits;
  const uint32_t width = uint32_t(bitmap.Width()), height = uint32_t(bitmap.Height());
  const size_t rowBytes = (size_t(width) * bits + 7) / 8;
  const size_t mapBytes = 3 * colours * 2;
  TiffBuilder file(kHeaderSize + mapBytes + 8 + 8 + kSoftwareLength + rowBytes * height +
                   kDirectorySize);

  const auto& palette = bitmap.Palette();
  auto component = [&](uint32_t i, uint8_t RGBQuad::*channel) {
    return i < palette.size() ? uint16_t(palette[i].*channel * 256) : uint16_t(0);
  };
  const uint32_t map = file.Position();
  for (auto channel : {&RGBQuad::red, &RGBQuad::green, &RGBQuad::blue})
    for (uint32_t i = 0; i < colours; ++i) file.Short(component(i, channel));
  const uint32_t xres = file.Rational(), yres = file.Rational();
  const uint32_t software = file.Software();
  const uint32_t pixels = file.Position();
  for (uint32_t y = 0; y < height; ++y)
    std::memcpy(file.Take(rowBytes), bitmap.ScanLine(int(y)), rowBytes);

  WriteDirectory(file, {width, height, 1, uint32_t(bits), kPalette, pixels,
                        uint32_t(rowBytes * height), xres, yres, software, 3 * colours, map});
  return file.Finish();
}

// 24 or 32 bits per pixel; B,G,R[,X] becomes R,G,B.
std::vector<uint8_t> WriteRgb(const Bitmap& bitmap) {
  const uint32_t width = uint32_t(bitmap.Width()), height = uint32_t(bitmap.Height());
  const size_t rowBytes = size_t(width) * 3;
  const size_t step = bitmap.BitsPerPixel() == 24 ? 3 : 4;
  TiffBuilder file(kHeaderSize + 8 + 8 + 6 + kSoftwareLength + rowBytes * height + kDirectorySize);
  const uint32_t xres = file.Rational(), yres = file.Rational();
  const uint32_t bitsPerSample = file.Position();
  for (int i = 0; i < 3; ++i) file.Short(8);
  const uint32_t software = file.Software();
  const uint32_t pixels = file.Position();
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* in = bitmap.ScanLine(int(y));
    uint8_t* out = file.Take(rowBytes);
    for (uint32_t x = 0; x < width; ++x, in += step, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }

  WriteDirectory(file, {width, height, 3, bitsPerSample, kRgb, pixels,
                        uint32_t(rowBytes * height), xres, yres, software});
  return file.Finish();
}

}  // namespace

std::vector<uint8_t> WriteBitmapAsTiff(const Bitmap& bitmap) {
  if (bitmap.Empty()) return {};
  switch (bitmap.BitsPerPixel()) {
    case 1: case 4: case 8: return WritePalette(bitmap);
    case 24: case 32: return WriteRgb(bitmap);
    default: return WriteRgb(ConvertTo24Bit(bitmap));  // 16 bits: 5-5-5 widened first
  }
}

void SaveBitmapAsTiff(const std::string& path, const Bitmap& bitmap) {
  if (!WriteFileAtomically(path, WriteBitmapAsTiff(bitmap)))
    throw EFileError("Cannot create file \"" + path + "\".");
}

}  // namespace velk
