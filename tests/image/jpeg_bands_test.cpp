// Large pictures are decoded in bands on several threads: every kind of file must come out
// exactly as one libjpeg pass gives it, damaged ones included, with the same progress.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "image/jpeg_codec.h"
#include "photo/orientation.h"

namespace velk {
namespace {

struct Layout {
  const char* name;
  int width, height, components;
  int lumaH, lumaV;  // sampling factors of the first component (the others 1 x 1)
  int restartRows = 0;
};

std::vector<uint8_t> Encode(const Layout& l, int orientation = 1) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(l.width);
  c.image_height = JDIMENSION(l.height);
  c.input_components = l.components;
  c.in_color_space = l.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 85, TRUE);
  c.comp_info[0].h_samp_factor = l.lumaH;
  c.comp_info[0].v_samp_factor = l.lumaV;
  c.restart_in_rows = l.restartRows;
  jpeg_start_compress(&c, TRUE);
  if (orientation != 1) {  // EXIF: one directory entry, Orientation (274), a SHORT
    const JOCTET exif[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                           0x12, 0x01, 3, 0, 1, 0, 0, 0, JOCTET(orientation), 0, 0, 0, 0, 0, 0, 0};
    jpeg_write_marker(&c, JPEG_APP0 + 1, exif, sizeof exif);
  }
  std::vector<JSAMPLE> row(size_t(l.width) * size_t(l.components));
  uint32_t noise = 12345;
  while (c.next_scanline < c.image_height) {
    const int y = int(c.next_scanline);
    for (size_t i = 0; i < row.size(); ++i) {
      noise = noise * 1103515245u + 12345u;
      const double wave = 60 * std::sin(double(i) / 41.0) * std::cos(y / 29.0);
      row[i] = JSAMPLE(int(100 + wave + (y % 97) + (noise >> 28)) & 0xFF);
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

// One libjpeg pass, going on past warnings as libjpeg does by default: the rows, packed.
std::vector<uint8_t> OnePass(const std::vector<uint8_t>& jpeg, bool grey, J_DCT_METHOD dct) {
  jpeg_decompress_struct c{};
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  err.output_message = [](j_common_ptr) {};
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&c, TRUE);
  c.out_color_space = grey || c.num_components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  c.dct_method = dct;
  jpeg_start_decompress(&c);
  const size_t stride = size_t(c.output_width) * size_t(c.output_components);
  std::vector<uint8_t> pixels(stride * c.output_height);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = pixels.data() + c.output_scanline * stride;
    jpeg_read_scanlines(&c, &row, 1);
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  return pixels;
}

Bitmap AsBitmap(const std::vector<uint8_t>& packed, int width, int height, int bits) {
  Bitmap b(width, height, bits);
  const size_t stride = size_t(width) * size_t(bits / 8);
  for (int y = 0; y < height; ++y)
    std::memcpy(b.ScanLine(y), packed.data() + stride * size_t(y), stride);
  return b;
}

std::vector<uint8_t> Packed(const Bitmap& b) {
  const size_t stride = size_t(b.Width()) * size_t(b.BitsPerPixel() / 8);
  std::vector<uint8_t> pixels;
  for (int y = 0; y < b.Height(); ++y)
    pixels.insert(pixels.end(), b.ScanLine(y), b.ScanLine(y) + stride);
  return pixels;
}

TEST(JpegBands, EveryLayoutDecodesAsOnePass) {
  const Layout layouts[] = {
      {"4:2:0, rows not a multiple of 16", 1000, 700, 3, 2, 2},
      {"4:2:2", 999, 701, 3, 2, 1},
      {"4:4:4", 800, 640, 3, 1, 1},
      {"4:4:0", 800, 650, 3, 1, 2},
      {"4:1:1", 1001, 600, 3, 4, 1},
      {"grey", 1200, 900, 1, 1, 1},
      {"restart markers every row", 1000, 700, 3, 2, 2, 1},
      {"a narrow, tall one", 120, 6000, 3, 2, 2},
  };
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    const std::vector<uint8_t> jpeg = Encode(layout);
    for (const bool grey : {false, true})
      for (const auto& [method, dct] : {std::pair{TDCTMethod::Integ, JDCT_ISLOW},
                                       {TDCTMethod::FloatingPoint, JDCT_FLOAT}}) {
        const JpegDecodeOptions options{.numOfColors = TNumOfColors::TrueColor,
                                        .dctMethod = method, .grayScale = grey};
        std::vector<int> reports;
        const Bitmap decoded = DecodeJpeg(jpeg.data(), jpeg.size(), options, 1,
                                          [&](int percent) { reports.push_back(percent); });
        EXPECT_EQ(Packed(decoded), OnePass(jpeg, grey, dct)) << grey << int(method);
        ASSERT_EQ(reports.size(), 100u);  // every percentage, once, in order
        for (int i = 0; i < 100; ++i) EXPECT_EQ(reports[size_t(i)], i + 1);
      }
  }
}

// A photo taken sideways is turned as its rows come out, band by band.
TEST(JpegBands, TurnedPhotosComeOutAsOnePassTurnedAfterwards) {
  const Layout layout{"", 1000, 700, 3, 2, 2};
  for (const bool grey : {false, true})
    for (int orientation = 2; orientation <= 8; ++orientation) {
      SCOPED_TRACE(orientation);
      const std::vector<uint8_t> jpeg = Encode(layout, orientation);
      const JpegDecodeOptions options{.numOfColors = TNumOfColors::TrueColor,
                                      .grayScale = grey, .applyOrientation = true};
      const Bitmap expected = Oriented(
          AsBitmap(OnePass(jpeg, grey, JDCT_ISLOW), 1000, 700, grey ? 8 : 24), orientation);
      const Bitmap decoded = DecodeJpeg(jpeg.data(), jpeg.size(), options);
      ASSERT_EQ(decoded.Width(), expected.Width());
      EXPECT_EQ(Packed(decoded), Packed(expected)) << grey;
    }
}

// Damage below the first band: the lower threads give up and the rest is decoded in one
// pass, so the pixels and the first warning are those of a decode never split.
TEST(JpegBands, DamageInALowerBandGivesTheOnePassResult) {
  const std::vector<uint8_t> whole = Encode({"", 1000, 800, 3, 2, 2});
  std::vector<uint8_t> truncated(whole.begin(), whole.begin() + long(whole.size() * 4 / 5));
  std::vector<uint8_t> corrupt = whole;
  corrupt[corrupt.size() * 3 / 4] = 0xFF;  // a restart marker where none belongs
  corrupt[corrupt.size() * 3 / 4 + 1] = 0xD3;
  for (const auto& [name, jpeg, message] :
       {std::tuple{"cut short", truncated, std::string("Premature end of JPEG file")},
        {"a stray marker", corrupt, std::string("Corrupt JPEG data")}}) {
    SCOPED_TRACE(name);
    std::string warning;
    const JpegDecodeOptions options{.numOfColors = TNumOfColors::TrueColor,
                                    .tolerateWarnings = true};
    const Bitmap decoded = DecodeJpeg(jpeg.data(), jpeg.size(), options, 10, {}, &warning);
    EXPECT_EQ(Packed(decoded), OnePass(jpeg, false, JDCT_ISLOW));
    EXPECT_EQ(warning.rfind(message, 0), 0u) << warning;
    try {
      DecodeJpeg(jpeg.data(), jpeg.size(), {.numOfColors = TNumOfColors::TrueColor});
      ADD_FAILURE() << "no error without tolerated warnings";
    } catch (const EJPEGException& e) {
      EXPECT_EQ(std::string(e.what()), warning);
    }
  }
}

}  // namespace
}  // namespace velk
