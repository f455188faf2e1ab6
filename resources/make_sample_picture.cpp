// Draws the viewer's sample picture (an evening landscape: sky gradient, sun, two ranges of
// hills and a lake with the sun's reflection) and writes it as a JPEG file.
#include <cmath>
#include <cstdio>

#include "image/jpeg_codec.h"
#include "platform/atomic_file.h"

namespace {

struct Rgb {
  double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::fmin(std::fmax(t, 0.0), 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double Ridge(double x, double phase, double scale) {
  return std::sin(x * 3.1 * scale + phase) * 0.045 + std::sin(x * 7.3 * scale + phase * 2) * 0.02 +
         std::sin(x * 17.0 * scale + phase * 3) * 0.008;
}

Rgb Shade(double u, double v) {
  const double horizon = 0.62;
  const Rgb zenith{0.10, 0.12, 0.35}, glow{0.98, 0.55, 0.25}, sunColor{1.0, 0.93, 0.70};
  const double sunX = 0.68, sunY = 0.50, sunR = 0.055;
  const double aspect = 4.0 / 3.0;
  const double dx = (u - sunX) * aspect;
  if (v < horizon) {
    Rgb sky = Mix(zenith, glow, std::pow(v / horizon, 1.6));
    const double d = std::sqrt(dx * dx + (v - sunY) * (v - sunY));
    sky = Mix(sky, sunColor, std::exp(-d * 9.0) * 0.8);
    if (d < sunR) sky = sunColor;
    const double far = 0.50 + Ridge(u, 0.4, 1.0);
    const double near = 0.57 + Ridge(u, 2.1, 1.7);
    if (v > near) return Mix({0.16, 0.12, 0.20}, {0.08, 0.07, 0.12}, (v - near) * 12);
    if (v > far) return Mix({0.42, 0.28, 0.38}, {0.30, 0.20, 0.30}, (v - far) * 10);
    return sky;
  }
  // The lake mirrors the sky with ripples and a darker tint.
  const double depth = (v - horizon) / (1.0 - horizon);
  const double ripple = std::sin(v * 260.0 + std::sin(u * 40.0) * 2.0) * 0.004 * (1 + depth * 4);
  Rgb water = Shade(u + ripple, 2 * horizon - v - 0.002);
  water = Mix(water, {0.05, 0.08, 0.18}, 0.25 + depth * 0.5);
  const double trail = std::exp(-std::fabs(dx) * 28.0) * (0.5 + 0.5 * std::sin(v * 300.0));
  return Mix(water, sunColor, trail * (1.0 - depth) * 0.6);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
    return 2;
  }
  const int width = 800, height = 600;
  velk::Bitmap bitmap(width, height, 24);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const Rgb c = Shade((x + 0.5) / width, (y + 0.5) / height);
      row[3 * x] = uint8_t(std::lround(std::fmin(c.b, 1.0) * 255));
      row[3 * x + 1] = uint8_t(std::lround(std::fmin(c.g, 1.0) * 255));
      row[3 * x + 2] = uint8_t(std::lround(std::fmin(c.r, 1.0) * 255));
    }
  }
  velk::JpegEncodeOptions options;
  options.quality = 90;
  const auto bytes = velk::EncodeJpeg(bitmap, options);
  if (!velk::WriteFileAtomically(argv[1], bytes)) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
