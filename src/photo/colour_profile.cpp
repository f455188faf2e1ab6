#include "photo/colour_profile.h"

#include <lcms2.h>

#include <algorithm>

#include "photo/parallel_rows.h"

namespace velk {

namespace {

// Profiles larger than this are not real ones; reading them only costs memory.
constexpr size_t kMaxProfileBytes = size_t(16) << 20;

cmsUInt32Number FormatOf(ProfilePixels pixels) {
  switch (pixels) {
    case ProfilePixels::Bgr: return TYPE_BGR_8;
    case ProfilePixels::Grey: return TYPE_GRAY_8;
    case ProfilePixels::Cmyk: return TYPE_CMYK_8;
    case ProfilePixels::InvertedCmyk: return TYPE_CMYK_8_REV;
  }
  return TYPE_BGR_8;
}

cmsColorSpaceSignature SpaceOf(ProfilePixels pixels) {
  switch (pixels) {
    case ProfilePixels::Grey: return cmsSigGrayData;
    case ProfilePixels::Cmyk:
    case ProfilePixels::InvertedCmyk: return cmsSigCmykData;
    case ProfilePixels::Bgr: break;
  }
  return cmsSigRgbData;
}

// Rows converted on every core: Little CMS transforms may be shared between threads.
void ConvertRows(const SrgbTransform& transform, Bitmap& bitmap) {
  ForRowBands(bitmap.Height(), size_t(bitmap.Width()) * bitmap.Height(), [&](int first, int end) {
    for (int y = first; y < end; ++y)
      transform.Convert(bitmap.ScanLine(y), bitmap.ScanLine(y), size_t(bitmap.Width()));
  });
}

}  // namespace

std::unique_ptr<SrgbTransform> SrgbTransform::From(const std::vector<uint8_t>& profile,
                                                   ProfilePixels pixels) {
  if (profile.empty() || profile.size() > kMaxProfileBytes) return nullptr;
  cmsHPROFILE source = cmsOpenProfileFromMem(profile.data(), cmsUInt32Number(profile.size()));
  if (!source) return nullptr;
  cmsHTRANSFORM transform = nullptr;
  if (cmsGetColorSpace(source) == SpaceOf(pixels)) {
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    // No one-pixel cache: the transform is shared by the threads converting the rows.
    transform = cmsCreateTransform(source, FormatOf(pixels), srgb, TYPE_BGR_8,
                                   INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    cmsCloseProfile(srgb);
  }
  cmsCloseProfile(source);
  if (!transform) return nullptr;
  return std::unique_ptr<SrgbTransform>(new SrgbTransform(transform));
}

SrgbTransform::~SrgbTransform() { cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform_)); }

void SrgbTransform::Convert(const uint8_t* in, uint8_t* out, size_t pixels) const {
  cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), in, out, cmsUInt32Number(pixels));
}

bool ConvertBitmapToSrgb(Bitmap& bitmap, const std::vector<uint8_t>& profile) {
  if (bitmap.BitsPerPixel() == 24) {
    const auto transform = SrgbTransform::From(profile, ProfilePixels::Bgr);
    if (!transform) return false;
    ConvertRows(*transform, bitmap);
    return true;
  }
  if (!bitmap.HasPalette()) return false;
  std::vector<RGBQuad>& palette = bitmap.Palette();
  const bool grey = std::all_of(palette.begin(), palette.end(), [](const RGBQuad& entry) {
    return entry.red == entry.green && entry.green == entry.blue;
  });
  // A grey picture may carry a grey profile or an RGB one; a colour one only an RGB one.
  std::unique_ptr<SrgbTransform> transform;
  if (grey) transform = SrgbTransform::From(profile, ProfilePixels::Grey);
  const bool fromGrey = transform != nullptr;
  if (!transform) transform = SrgbTransform::From(profile, ProfilePixels::Bgr);
  if (!transform) return false;
  for (RGBQuad& entry : palette) {
    const uint8_t in[3] = {entry.blue, entry.green, entry.red};
    uint8_t out[3];
    transform->Convert(fromGrey ? &entry.green : in, out, 1);
    entry = RGBQuad{out[0], out[1], out[2], 0};
  }
  return true;
}

}  // namespace velk
