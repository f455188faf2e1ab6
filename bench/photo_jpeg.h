#pragma once
// A photo-like baseline 4:2:0 JPEG at quality 85 (gradients, waves, blocks, a little noise),
// so entropy decoding and colour conversion see photo-like data. The seed makes two pictures
// of one size differ.
#include <jpeglib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

inline std::vector<uint8_t> PhotoLikeJpeg(int width, int height, uint32_t seed) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.in_color_space = JCS_RGB;
  c.input_components = 3;
  jpeg_set_defaults(&c);  // 2x2 luma sampling: 4:2:0
  jpeg_set_quality(&c, 85, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<double> waveX(size_t(width), 0);
  for (int x = 0; x < width; ++x) waveX[size_t(x)] = 40 * std::sin((x + seed * 7) / 37.0);
  std::vector<JSAMPLE> row(size_t(width) * 3);
  uint32_t noise = seed * 2654435761u + 1;
  auto clamp = [](double v) { return JSAMPLE(v < 0 ? 0 : v > 255 ? 255 : v); };
  while (c.next_scanline < c.image_height) {
    const int y = int(c.next_scanline);
    const double waveY = std::cos(y / 53.0);
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int n = int((noise >> 16) % 13) - 6;
      const double wave = waveX[size_t(x)] * waveY;
      const bool block = ((x / 400) + (y / 300) + int(seed)) % 3 == 0;
      row[size_t(x) * 3] = clamp(x * 200.0 / width + wave + n + (block ? 40 : 0));
      row[size_t(x) * 3 + 1] = clamp(y * 180.0 / height + wave / 2 + n + 30);
      row[size_t(x) * 3 + 2] = clamp(128 + 60 * waveY - wave + n);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  jpeg_destroy_compress(&c);
  return bytes;
}
