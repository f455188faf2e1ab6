#pragma once
// Converting pixels described by an embedded ICC colour profile to sRGB, the space the screen
// and every file we write assume, through Little CMS.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"

namespace velk {

// What the pixels handed to a transform are.
enum class ProfilePixels {
  Bgr,              // 3 bytes B, G, R (a 24-bit bitmap's rows)
  Grey,             // 1 byte
  Cmyk,             // 4 bytes C, M, Y, K, 255 = full ink
  InvertedCmyk,     // 4 bytes, 0 = full ink (as Adobe's applications store it in JPEG files)
};

// One profile-to-sRGB conversion; its output is always 3 bytes B, G, R per pixel.
class SrgbTransform {
public:
  // Empty when the profile cannot be read or does not describe such pixels (an RGB profile
  // given grey pixels, say): the picture is then shown as it is stored.
  static std::unique_ptr<SrgbTransform> From(const std::vector<uint8_t>& profile,
                                             ProfilePixels pixels);
  ~SrgbTransform();
  SrgbTransform(const SrgbTransform&) = delete;
  SrgbTransform& operator=(const SrgbTransform&) = delete;

  // in and out may be the same row when both are B, G, R.
  void Convert(const uint8_t* in, uint8_t* out, size_t pixels) const;

private:
  explicit SrgbTransform(void* transform) : transform_(transform) {}
  void* transform_;
};

// Converts a 24-bit picture's pixels in place, or a palette picture's palette (grey levels
// through a grey profile, colours through an RGB one). False, with the bitmap unchanged,
// when the profile does not fit the picture.
bool ConvertBitmapToSrgb(Bitmap& bitmap, const std::vector<uint8_t>& profile);

}  // namespace velk
