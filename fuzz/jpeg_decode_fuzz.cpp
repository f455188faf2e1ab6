#include <new>

#include "image/jpeg_codec.h"
#include "picture_limits.h"

namespace {
// Colour conversion, quantizing and turning go over every pixel, which the coverage hooks make
// the run's main cost; 64 x 64 pixels take each of their branches as well as more.
constexpr uint64_t kDecodeLimit = uint64_t(1) << 12;
}  // namespace

// The first byte picks the decode options, the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || !fuzz::JpegWithinLimit(data + 1, size - 1, kDecodeLimit)) return 0;
  velk::JpegDecodeOptions options;
  options.numOfColors = velk::TNumOfColors(data[0] % 3);
  options.dither = velk::TDither((data[0] >> 2) % 3);
  options.grayScale = data[0] & 0x10;
  options.onePass = data[0] & 0x20;
  options.fastProcessing = data[0] & 0x40;
  options.noSmooth = data[0] & 0x80;
  // Turning and profiles act only where the file has the tags, so they are always on.
  options.applyOrientation = true;
  options.convertProfile = true;
  options.tolerateWarnings = (data[0] >> 2) & 1;
  try {
    (void)velk::DecodeJpeg(data + 1, size - 1, options);
  } catch (const velk::EJPEGException&) {
  } catch (const std::bad_alloc&) {
  }
  return 0;
}
