// What turning and colour-managing a 12 MP photo costs on top of its decode, and Little CMS
// (ours) beside Qt's colour-space conversion of the same decoded picture to sRGB.
#include <benchmark/benchmark.h>

#include <QColorSpace>
#include <QImage>
#include <string>
#include <vector>

#include "image/jpeg_codec.h"
#include "photo_jpeg.h"
#include "support/wide_gamut_profile.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The photo with one more segment after its start marker.
Bytes WithSegment(const Bytes& jpeg, uint8_t marker, const Bytes& payload) {
  const size_t length = payload.size() + 2;
  Bytes out(jpeg.begin(), jpeg.begin() + 2);
  out.insert(out.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
  out.insert(out.end(), payload.begin(), payload.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

struct Files {
  Bytes plain = PhotoLikeJpeg(4000, 3000, 0);
  Bytes profile = velk::test::WideGamutProfile();
  Bytes profiled = [this] {
    Bytes payload = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1};
    payload.insert(payload.end(), profile.begin(), profile.end());
    return WithSegment(plain, 0xE2, payload);
  }();
  Bytes turned = WithSegment(plain, 0xE1, {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                                           1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0});
};
const Files& Photos() {
  static const Files files;
  return files;
}

constexpr velk::JpegDecodeOptions kPlain{.numOfColors = velk::TNumOfColors::TrueColor};
constexpr velk::JpegDecodeOptions kCorrected{.numOfColors = velk::TNumOfColors::TrueColor,
                                             .applyOrientation = true,
                                             .convertProfile = true};

void Decode(benchmark::State& state, const Bytes* jpeg, velk::JpegDecodeOptions options) {
  for (auto _ : state) {
    velk::Bitmap bitmap = velk::DecodeJpeg(jpeg->data(), jpeg->size(), options);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
}

// The peer: the same decode, then Qt converts the picture from its profile to sRGB.
void QtConverted(benchmark::State& state) {
  const Files& files = Photos();
  const QColorSpace space = QColorSpace::fromIccProfile(
      QByteArray(reinterpret_cast<const char*>(files.profile.data()), qsizetype(files.profile.size())));
  for (auto _ : state) {
    velk::Bitmap bitmap = velk::DecodeJpeg(files.profiled.data(), files.profiled.size(), kPlain);
    QImage image(bitmap.Bits(), bitmap.Width(), bitmap.Height(), qsizetype(bitmap.Stride()),
                 QImage::Format_BGR888);
    image.setColorSpace(space);
    image.convertToColorSpace(QColorSpace::SRgb);
    benchmark::DoNotOptimize(image.constBits());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Files& files = Photos();
  const auto add = [](const char* name, auto function) {
    benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMillisecond)->UseRealTime();
  };
  add("Decode/plain", [&](benchmark::State& s) { Decode(s, &files.plain, kPlain); });
  add("Decode/corrections_on_no_tags", [&](benchmark::State& s) { Decode(s, &files.plain, kCorrected); });
  add("Decode/orientation_6", [&](benchmark::State& s) { Decode(s, &files.turned, kCorrected); });
  add("Decode/profile_lcms", [&](benchmark::State& s) { Decode(s, &files.profiled, kCorrected); });
  add("Decode/profile_qt", QtConverted);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
