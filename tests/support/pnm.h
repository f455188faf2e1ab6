#pragma once
// Binary PPM (P6) and PGM (P5) reference images, maxval 255, as RGB triples.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace velk::test {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3, top row first
  const uint8_t* Pixel(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// Throws std::runtime_error when the file is missing or not a P5/P6 with maxval 255.
RgbImage ReadPnm(const std::string& path);
// Every pixel of a bitmap, through its palette, as RGB.
RgbImage ToRgb(const Bitmap& bitmap);
// "" when equal (each sample within tolerance); else a description of the first difference.
std::string CompareRgb(const RgbImage& expected, const RgbImage& actual, int tolerance = 0);

}  // namespace velk::test
