#pragma once
// An ICC profile with Adobe RGB's primaries and a 2.2 gamma (as cameras embed), written with
// Little CMS: a picture tagged with it looks clearly different once converted to sRGB.
#include <lcms2.h>

#include <cstdint>
#include <vector>

namespace velk::test {

inline std::vector<uint8_t> SavedProfile(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

inline std::vector<uint8_t> WideGamutProfile() {
  const cmsCIExyY white = {0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
  cmsToneCurve* curves[3] = {gamma, gamma, gamma};
  std::vector<uint8_t> bytes = SavedProfile(cmsCreateRGBProfile(&white, &primaries, curves));
  cmsFreeToneCurve(gamma);
  return bytes;
}

inline std::vector<uint8_t> SrgbProfile() { return SavedProfile(cmsCreate_sRGBProfile()); }

}  // namespace velk::test
