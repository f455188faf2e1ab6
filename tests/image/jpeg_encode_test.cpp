#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "image/jpeg_codec.h"
#include "image/jpeg_errors.h"
#include "support/temp_dir.h"

namespace velk {
namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v), Put16(b, at + 2, v >> 16);
}

// A bottom-up BMP with an info header: 24-bit, or 8-bit with a map of `colors` entries.
std::vector<uint8_t> MakeBmp(int width, int height, int bits, int colors = 0, int perMetre = 0) {
  const size_t stride = (size_t(width) * bits + 31) / 32 * 4, offBits = 54 + 4 * colors;
  std::vector<uint8_t> b(offBits + stride * height);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 2, uint32_t(b.size())), Put32(b, 10, uint32_t(offBits)), Put32(b, 14, 40);
  Put32(b, 18, width), Put32(b, 22, height), Put16(b, 26, 1), Put16(b, 28, bits);
  Put32(b, 38, perMetre), Put32(b, 42, perMetre), Put32(b, 46, colors);
  for (int i = 0; i < colors; ++i) {
    b[54 + 4 * i] = uint8_t(i * 37);
    b[55 + 4 * i] = uint8_t(255 - i);
    b[56 + 4 * i] = uint8_t(i * 11);
  }
  for (size_t i = offBits; i < b.size(); ++i)
    b[i] = uint8_t(bits == 8 ? i * 7 % colors : i * 3 % 251);
  return b;
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& bmp, const JpegEncodeOptions& o = {},
                            int step = 10, const JpegProgress& progress = {}) {
  return EncodeJpegFromBmp(bmp.data(), bmp.size(), o, step, progress);
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EJPEGException& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(JpegBmpSource, RefusesWhatItCannotRead) {
  using Change = std::function<void(std::vector<uint8_t>&)>;
  const std::tuple<int, Change, const char*> cases[] = {
      {24, [](auto& b) { b[1] = 'X'; }, "Not a BMP file - does not start with BM"},
      {24, [](auto& b) { Put32(b, 14, 20); }, "Invalid BMP file: bad header length"},
      {8, [](auto& b) { Put32(b, 10, 54); }, "Invalid BMP file: bad header length"},
      {24, [](auto& b) { Put16(b, 26, 2); }, "Invalid BMP file: biPlanes not equal to 1"},
      {24, [](auto& b) { Put16(b, 28, 1); }, "Only 8- and 24-bit BMP files are supported"},
      {24, [](auto& b) { Put16(b, 28, 32); }, "Only 8- and 24-bit BMP files are supported"},
      {8, [](auto& b) { Put32(b, 30, 1); }, "Sorry, compressed BMPs not yet supported"},
      {8, [](auto& b) { Put32(b, 46, 300); }, "Unsupported BMP colormap format"},
      {8, [](auto& b) { b[54 + 4 * 16] = 16; }, "Invalid BMP colormap index"},
      {24, [](auto& b) { Put32(b, 18, uint32_t(-5)); }, "Numeric value out of range in BMP file"},
      {24, [](auto& b) { Put32(b, 22, 0); }, "Empty BMP image"},
      {24, [](auto& b) { b.pop_back(); }, "Premature end of input file"},
      {8, [](auto& b) { b.resize(64); }, "Premature end of input file"},
      {24,
       [](auto& b) {
         Put32(b, 18, 70000);
         b.resize(54 + 210000);
       },
       "Maximum supported image dimension is 65500 pixels"},  // libjpeg's own check
  };
  for (const auto& [bits, change, message] : cases) {
    auto bmp = MakeBmp(37, 1, bits, bits == 8 ? 16 : 0);
    change(bmp);
    EXPECT_EQ(ErrorOf([&] { Encode(bmp); }), message);
  }
}

TEST(JpegErrors, UnknownCodeIsBogus) {
  jpeg_compress_struct cinfo{};
  JpegErrorManager manager;
  cinfo.err = InitJpegErrorManager(manager);
  char text[JMSG_LENGTH_MAX];
  for (int code : {int(kJpegFirstAddonMessage), 4000}) {
    cinfo.err->msg_code = code;
    cinfo.err->format_message(reinterpret_cast<j_common_ptr>(&cinfo), text);
    EXPECT_EQ(std::string(text), "Bogus message code " + std::to_string(code));
  }
}

// Byte for byte what cjpeg writes from the same BMP with the matching switches.
TEST(JpegEncode, MatchesCjpeg) {
  if (std::system("command -v cjpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "no cjpeg";
  const std::tuple<std::vector<uint8_t>, JpegEncodeOptions, const char*> cases[] = {
      {MakeBmp(37, 23, 24), {}, "-quality 75 -optimize"},
      {MakeBmp(37, 23, 24), {.fastProcessing = true, .quality = 90}, "-quality 90"},
      {MakeBmp(37, 23, 24), {.grayScale = true}, "-quality 75 -optimize -grayscale"},
      {MakeBmp(37, 23, 24),
       {.progressive = true, .quality = 5},
       "-quality 5 -optimize -progressive"},
      {MakeBmp(37, 23, 24),
       {.dctMethod = TDCTMethod::FastInteg},
       "-quality 75 -optimize -dct fast"},
      {MakeBmp(37, 23, 24, 0, 3780),
       {.dctMethod = TDCTMethod::FloatingPoint, .quality = 100},
       "-quality 100 -optimize -dct float"},
      {MakeBmp(64, 33, 8, 200), {.fastProcessing = true}, "-quality 75"},
  };
  test::TempDir dir;
  for (const auto& [bmp, options, args] : cases) {
    dir.Write("in.bmp", std::string(bmp.begin(), bmp.end()));
    const std::string command = std::string("cjpeg ") + args + " -outfile " + dir.File("out.jpg") +
                                " " + dir.File("in.bmp") + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(dir.File("out.jpg"), std::ios::binary);
    const std::vector<uint8_t> expected{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(Encode(bmp, options), expected) << args;
  }
}

TEST(JpegEncode, ProgressCountsRowsWritten) {
  std::vector<int> seen;
  Encode(MakeBmp(9, 50, 24), {}, 1, [&](int p) { seen.push_back(p); });
  std::vector<int> even;
  for (int p = 2; p <= 100; p += 2) even.push_back(p);
  EXPECT_EQ(seen, even);
}

// Through WriteBmp: palette bitmaps go through their colours, other depths are refused.
TEST(JpegEncode, BitmapDepths) {
  Bitmap indexed(40, 30, 8);
  for (int i = 0; i < 256; ++i)
    indexed.Palette()[i] = {uint8_t(i), uint8_t(i * 5), uint8_t(200 - i), 0};
  for (size_t i = 0; i < indexed.ByteSize(); ++i) indexed.Bits()[i] = uint8_t(i / 3);
  EXPECT_EQ(EncodeJpeg(indexed, {}), EncodeJpeg(ConvertTo24Bit(indexed), {}));
  for (int bits : {1, 4, 16, 32})
    EXPECT_EQ(ErrorOf([&] { EncodeJpeg(Bitmap(8, 8, bits), {}); }),
              "Only 8- and 24-bit BMP files are supported")
        << bits;
}

}  // namespace
}  // namespace velk
