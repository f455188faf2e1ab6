#include "photo/colour_profile.h"

#include <lcms2.h>

#include <algorithm>
#include <thread>

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
  const int height = bitmap.Height();
  const int workers = std::clamp(int(std::thread::hardware_concurrency()), 1, 8);
  const auto convertBand = [&](int first, int last) {
    for (int y = first; y < last; ++y)
      transform.Convert(bitmap.ScanLine(y), bitmap.ScanLine(y), size_t(bitmap.Width()));
  };
  if (workers == 1 || size_t(bitmap.Width()) * height < 1'000'000) return convertBand(0, height);
  std::vector<std::thread> threads;
  const int band = (height + workers - 1) / workers;
  for (int i = 1; i < workers; ++i)
    threads.emplace_back(convertBand, std::min(height, i * band), std::min(height, (i + 1) * band));
  convertBand(0, std::min(height, band));
  for (std::thread& thread : threads) thread.join();
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
    transform = cmsCreateTransform(source, FormatOf(pixels), srgb, TYPE_BGR_8,
                                   INTENT_PERCEPTUAL, 0);
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
