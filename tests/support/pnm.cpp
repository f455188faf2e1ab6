#include "support/pnm.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace velk::test {

RgbImage ReadPnm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::string magic;
  int width = 0, height = 0, maxval = 0;
  in >> magic >> width >> height >> maxval;
  in.get();
  if ((magic != "P5" && magic != "P6") || maxval != 255 || width <= 0 || height <= 0)
    throw std::runtime_error("unsupported PNM " + path);
  const int channels = magic == "P6" ? 3 : 1;
  std::vector<uint8_t> raw(size_t(width) * height * channels);
  in.read(reinterpret_cast<char*>(raw.data()), std::streamsize(raw.size()));
  if (!in) throw std::runtime_error("truncated PNM " + path);
  RgbImage image{width, height, {}};
  image.rgb.resize(size_t(width) * height * 3);
  for (size_t i = 0; i < size_t(width) * height; ++i)
    for (int c = 0; c < 3; ++c) image.rgb[i * 3 + c] = raw[i * channels + (channels == 3 ? c : 0)];
  return image;
}

RgbImage ToRgb(const Bitmap& bitmap) {
  RgbImage image{bitmap.Width(), bitmap.Height(), {}};
  image.rgb.reserve(size_t(image.width) * image.height * 3);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const RGBQuad c = bitmap.PixelColor(x, y);
      image.rgb.insert(image.rgb.end(), {c.red, c.green, c.blue});
    }
  return image;
}

std::string CompareRgb(const RgbImage& expected, const RgbImage& actual, int tolerance) {
  std::ostringstream out;
  if (expected.width != actual.width || expected.height != actual.height) {
    out << "size " << actual.width << "x" << actual.height << ", expected " << expected.width
        << "x" << expected.height;
    return out.str();
  }
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x)
      for (int c = 0; c < 3; ++c) {
        const int e = expected.Pixel(x, y)[c], a = actual.Pixel(x, y)[c];
        if (std::abs(e - a) > tolerance) {
          out << "pixel (" << x << "," << y << ") channel " << c << ": " << a << ", expected " << e;
          return out.str();
        }
      }
  return {};
}

}  // namespace velk::test
