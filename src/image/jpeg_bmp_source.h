#pragma once
// Reads a Windows bitmap file held in memory as RGB rows for the JPEG compressor, like the
// BMP reader of IJG's sample programs: uncompressed 8-bit colour-mapped or 24-bit only.
// Failures are libjpeg errors (our BMP message codes), raised through cinfo->err.
#include <cstddef>
#include <cstdint>
#include <cstdio>  // before jpeglib.h, which uses FILE and size_t

#include <jpeglib.h>

namespace velk {

// Trivially destructible on purpose: it lives where libjpeg errors longjmp past.
class JpegBmpSource {
public:
  // Checks the headers and reads the colour map; sets the image size, the input colour space
  // (RGB, 3 components) and, when the file gives one, the pixel density.
  void Start(j_compress_ptr cinfo, const uint8_t* data, size_t size);
  // The next row, top first, as RGB in Rows()[0]; returns the number of rows (1).
  JDIMENSION ReadRows(j_compress_ptr cinfo);
  JSAMPARRAY Rows() const { return buffer_; }

private:
  const uint8_t* pixels_ = nullptr;  // first stored row
  size_t stride_ = 0;
  bool bottomUp_ = true;
  int bits_ = 0;
  JDIMENSION width_ = 0, height_ = 0, nextRow_ = 0;
  unsigned mapLength_ = 0;
  JSAMPLE map_[256][3] = {};  // R, G, B
  JSAMPARRAY buffer_ = nullptr;
};

}  // namespace velk
