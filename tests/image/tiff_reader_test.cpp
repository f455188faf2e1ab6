#include "image/tiff_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>

#include "image/tiff_file.h"
#include "image/tiff_format.h"
#include "image/tiff_writer.h"
#include "platform/dialogs.h"
#include "support/pnm.h"
#include "support/temp_dir.h"
#include "support/testdata.h"

namespace velk {
namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;
using namespace tiff;

struct Field {
  uint16_t tag, type;
  std::vector<uint32_t> values;
  std::optional<std::pair<uint32_t, uint32_t>> raw = std::nullopt;  // count and value as given
};
Field Short(uint16_t tag, std::vector<uint32_t> v) { return {tag, kShort, std::move(v)}; }
Field Long(uint16_t tag, std::vector<uint32_t> v) { return {tag, kLong, std::move(v)}; }
Field Raw(uint16_t tag, uint32_t count, uint32_t value) {
  return {tag, kLong, {}, {{count, value}}};
}

// Hand-made files in either byte order: data blocks, then directories chained in order.
class TiffMaker {
public:
  explicit TiffMaker(bool intel = true) : intel_(intel) {
    bytes = {uint8_t(intel ? 'I' : 'M'), uint8_t(intel ? 'I' : 'M'), 0, 0, 0, 0, 0, 0};
    Put(&bytes[2], 2, kMagic);
  }
  uint32_t Data(const Bytes& data) {
    bytes.insert(bytes.end(), data.begin(), data.end());
    return uint32_t(bytes.size() - data.size());
  }
  uint32_t Directory(const std::vector<Field>& fields) {
    std::vector<uint32_t> valueFields;
    for (const Field& f : fields) {
      Bytes v(FieldSize(f.type) * f.values.size());
      for (size_t i = 0; i < f.values.size(); ++i)
        Put(&v[i * FieldSize(f.type)], FieldSize(f.type), f.values[i]);
      uint32_t value = f.raw ? f.raw->second : v.size() > 4 ? Data(v) : 0;
      if (!f.raw && !v.empty() && v.size() <= 4)
        std::memcpy(&value, v.data(), v.size());  // as stored
      valueFields.push_back(value);
    }
    const uint32_t at = uint32_t(bytes.size());
    bytes.resize(at + 2 + 12 * fields.size() + 4);
    Put(&bytes[at], 2, uint32_t(fields.size()));
    for (size_t i = 0; i < fields.size(); ++i) {
      uint8_t* e = &bytes[at + 2 + 12 * i];
      Put(e, 2, fields[i].tag);
      Put(e + 2, 2, fields[i].type);
      Put(e + 4, 4, fields[i].raw ? fields[i].raw->first : uint32_t(fields[i].values.size()));
      if (fields[i].raw || fields[i].values.size() * FieldSize(fields[i].type) > 4)
        Put(e + 8, 4, valueFields[i]);
      else
        std::memcpy(e + 8, &valueFields[i], 4);
    }
    Put(&bytes[lastLink_], 4, at);
    lastLink_ = bytes.size() - 4;
    return at;
  }
  void LinkLastTo(uint32_t offset) { Put(&bytes[lastLink_], 4, offset); }
  void Put(uint8_t* p, uint32_t size, uint32_t v) const {
    for (uint32_t i = 0; i < size; ++i) p[intel_ ? i : size - 1 - i] = uint8_t(v >> (8 * i));
  }
  Bytes bytes;

private:
  bool intel_;
  size_t lastLink_ = 4;
};

// The tags of one uncompressed single-strip image; `extra` comes after (the last tag wins).
std::vector<Field> ImageFields(uint32_t width, uint32_t height, uint32_t photometric,
                               std::vector<uint32_t> bits, uint32_t strip, uint32_t stripBytes,
                               std::vector<Field> extra = {}) {
  std::vector<Field> f = {Long(kImageWidth, {width}),
                          Long(kImageLength, {height}),
                          Short(kBitsPerSample, std::move(bits)),
                          Short(kCompression, {1}),
                          Short(kPhotometric, {photometric}),
                          Long(kStripOffsets, {strip}),
                          Long(kStripByteCounts, {stripBytes})};
  f.insert(f.end(), extra.begin(), extra.end());
  return f;
}

Bytes OneImage(uint32_t width, uint32_t height, uint32_t photometric, std::vector<uint32_t> bits,
               const Bytes& pixels, std::vector<Field> extra = {}, bool intel = true) {
  TiffMaker maker(intel);
  const uint32_t at = maker.Data(pixels);
  maker.Directory(ImageFields(width, height, photometric, std::move(bits), at,
                              uint32_t(pixels.size()), std::move(extra)));
  return maker.bytes;
}

struct Loaded {
  bool ok = false;
  Bitmap bitmap;
  std::vector<ScriptedDialogs::Shown> shown;
  Texts texts;
};

Loaded Load(const Bytes& bytes, const std::string& path = "") {
  ScopedScriptedDialogs dialogs;
  Loaded result;
  if (path.empty()) {
    TFileTiff file;
    file.Open(MemoryTiffSource(bytes), "memory.tif");
    result.ok = LoadTiffIntoBitmap(file, result.bitmap);
  } else {
    result.ok = LoadTiffIntoBitmap(path, result.bitmap);
  }
  result.shown = dialogs->messages;
  result.texts = dialogs->Texts();
  return result;
}

RGBQuad Grey(uint8_t v) { return {v, v, v, 0}; }

// --- the shared images: good match the last page, refuse/odd give their message, bad fail ------

TEST(TiffSharedImages, EachClassBehaves) {
  VELK_REQUIRE_TESTDATA();
  // Files outside the supported subset: each is refused with the message naming why.
  const std::map<std::string, std::string> ours = {
      {"minisblack-1c-16b.tiff", "Error: Bits Per Sample not 4 or 8"},
      {"flower-rgb-planar-08.tif", "Cant read RGB Full Color Image with separate planes"},
      {"rose-rgb8-planar.tif", "Cant read RGB Full Color Image with separate planes"},
      {"rose-rgba8.tif", "Error: Samples Per Pixel (RGB) not 3"},
      {"seq-1c-8b-tiled-20f3db0c.tiff", "Cant read tiled image"}};
  const auto images = test::TestImages("tiff");
  ASSERT_FALSE(images.empty());
  for (const auto& image : images) {
    SCOPED_TRACE(image.file);
    const Loaded loaded = Load({}, image.Path());
    const std::string name = image.file.substr(image.file.rfind('/') + 1);
    if (image.klass == "good" || (image.expect == "ERROR-OR-PARTIAL" && loaded.ok)) {
      ASSERT_TRUE(loaded.ok) << ::testing::PrintToString(loaded.texts);
      EXPECT_TRUE(loaded.shown.empty());
      std::string ref = image.RefPath();  // the last decodable page is what remains
      if (image.extraRefs != "-")
        ref = test::TestDataDir() + "/" + image.extraRefs.substr(image.extraRefs.rfind(',') + 1);
      EXPECT_EQ(test::CompareRgb(test::ReadPnm(ref), test::ToRgb(loaded.bitmap),
                                 image.compare == "max-diff-1" ? 1 : 0),
                "");
    } else if (image.klass == "refuse" || ours.count(name)) {
      EXPECT_FALSE(loaded.ok);
      ASSERT_EQ(loaded.texts.size(), 1u) << ::testing::PrintToString(loaded.texts);
      const std::string expected = ours.count(name) ? ours.at(name) : image.message;
      EXPECT_EQ(loaded.texts[0].substr(0, loaded.texts[0].find("\n\n")), expected);
    } else if (image.klass == "bad") {
      EXPECT_FALSE(loaded.ok);
      EXPECT_FALSE(loaded.shown.empty());
      EXPECT_TRUE(loaded.bitmap.Empty());
    }
  }
}

// --- messages ------------------------------------------------------------------------------------

const std::string kRequest =
    "\n\nThis kind of TIFF image is not supported yet.\nPlease ask for it to be implemented in a "
    "future version.";

std::vector<Field> With(std::vector<Field> f, std::vector<Field> extra) {
  f.insert(f.end(), extra.begin(), extra.end());
  return f;
}
std::vector<Field> Without(std::vector<Field> f, uint16_t tag) {
  std::erase_if(f, [tag](const Field& x) { return x.tag == tag; });
  return f;
}
Bytes Made(const std::vector<Field>& fields) {
  TiffMaker maker;
  maker.Data(Bytes(64, 0));  // at 8, where the strips point
  maker.Directory(fields);
  return maker.bytes;
}

TEST(TiffMessages, EachProblemGivesOneBoxWithItsText) {
  const auto grey = ImageFields(4, 4, kBlackIsZero, {8}, 8, 16);
  const auto bilevel = ImageFields(4, 4, kWhiteIsZero, {1}, 8, 4);
  const auto palette =
      ImageFields(4, 4, kPalette, {8}, 8, 16, {Short(kColorMap, std::vector<uint32_t>(768))});
  const auto rgb = ImageFields(4, 4, kRgb, {8, 8, 8}, 8, 48);
  const struct {
    const char* what;
    Bytes file;
    std::string message;
  } cases[] = {
      {"short file", {'I', 'I', 42, 0}, "<memory.tif> is not a valid TIFF file"},
      {"bad order", {'I', 'M', 42, 0, 8, 0, 0, 0}, "<memory.tif> is not a valid TIFF file"},
      {"bad magic", {'M', 'M', 0, 43, 0, 0, 0, 8}, "<memory.tif> is not a valid TIFF file"},
      {"no directory", {'I', 'I', 42, 0, 0, 0, 0, 0}, "<memory.tif> holds no image"},
      {"no photometric", Made(Without(grey, kPhotometric)),
       "Error reading tag Photometric interpretation"},
      {"CMYK", Made(With(grey, {Short(kPhotometric, {5})})),
       "Error evaluating Photometric interpretation: 5"},
      {"LONG photometric", Made(With(grey, {Long(kPhotometric, {70000})})),
       "Error evaluating Photometric interpretation: 70000"},
      {"no width", Made(Without(bilevel, kImageWidth)), "Error reading tag Image Width"},
      {"zero width", Made(With(grey, {Long(kImageWidth, {0})})), "Error reading tag Image Width"},
      {"no height", Made(Without(rgb, kImageLength)), "Error reading tag Image Height"},
      {"no compression", Made(Without(palette, kCompression)), "Error reading tag Compression"},
      {"packed bilevel", Made(With(bilevel, {Short(kCompression, {32773})})),
       "Cant read compressed bilevel image" + kRequest},
      {"LZW grey", Made(With(grey, {Short(kCompression, {5})})),
       "Cant read compressed Gray Scale Image" + kRequest},
      {"deflate palette", Made(With(palette, {Short(kCompression, {8})})),
       "Cant read compressed ColorPaletImage" + kRequest},
      {"JPEG RGB", Made(With(rgb, {Short(kCompression, {7})})),
       "Cant read compressed RGB Full Color Image" + kRequest},
      {"grey 16 bits", Made(With(grey, {Short(kBitsPerSample, {16})})),
       "Error: Bits Per Sample not 4 or 8"},
      {"grey 2 bits", Made(With(grey, {Short(kBitsPerSample, {2})})),
       "Error: Bits Per Sample not 4 or 8"},
      {"palette without depth", Made(Without(palette, kBitsPerSample)),
       "Error reading tag Bits Per Sample"},
      {"palette without map", Made(Without(palette, kColorMap)),
       "Error reading tag Color Table Offset"},
      {"palette map past the end",
       Made(With(palette, {{kColorMap, kShort, {}, {{768, 0x7FFFFFFF}}}})),
       "Error reading tag Color Table Offset"},
      {"palette 2 bits", Made(With(palette, {Short(kBitsPerSample, {2})})),
       "Error: Bits Per Sample (Palette) not 1, 4 or 8"},
      {"RGB without depth", Made(Without(rgb, kBitsPerSample)),
       "Error reading tag Bits Per Sample"},
      {"RGB 16 bits", Made(With(rgb, {Short(kBitsPerSample, {16, 16, 16})})),
       "Error: Bits Per Sample (RGB) not 8"},
      {"RGB 8,8,4", Made(With(rgb, {Short(kBitsPerSample, {8, 8, 4})})),
       "Error: Bits Per Sample (RGB) not 8"},
      {"RGBA", Made(With(rgb, {Short(kSamplesPerPixel, {4})})),
       "Error: Samples Per Pixel (RGB) not 3"},
      {"RGB planes", Made(With(rgb, {Short(kPlanarConfiguration, {2})})),
       "Cant read RGB Full Color Image with separate planes"},
      {"grey+alpha",
       Made(With(grey, {Short(kSamplesPerPixel, {2}), Short(kBitsPerSample, {8, 8})})),
       "Error: Samples Per Pixel not 1"},
      {"grey, three samples", Made(With(grey, {Short(kSamplesPerPixel, {3})})),
       "Error: Samples Per Pixel not 1"},
      {"bilevel, two samples", Made(With(bilevel, {Short(kSamplesPerPixel, {2})})),
       "Error: Samples Per Pixel not 1"},
      {"palette, samples from the depth count",
       Made(With(palette, {Short(kBitsPerSample, {8, 8})})),
       "Error: Samples Per Pixel not 1"},
      {"tiles beside strips", Made(With(grey, {Long(kTileWidth, {16}), Long(kTileLength, {16})})),
       "Cant read tiled image" + kRequest},
      {"tiles alone",
       Made(With(Without(Without(grey, kStripOffsets), kStripByteCounts),
                 {Long(kTileOffsets, {8}), Long(kTileByteCounts, {16})})),
       "Cant read tiled image" + kRequest},
      {"no strip offsets", Made(Without(grey, kStripOffsets)), "Error reading tag Strip Offsets"},
      {"no strip counts", Made(Without(rgb, kStripByteCounts)), "Error reading tag Strip Offsets"},
      {"strip counts differ", Made(With(grey, {Long(kStripByteCounts, {8, 8})})),
       "Error reading tag Strip Offsets"},
      {"huge strip count",
       Made(With(grey, {Raw(kStripOffsets, 0xFFFFFFFF, 8), Raw(kStripByteCounts, 0xFFFFFFFF, 8)})),
       "Error reading tag Strip Offsets"},
      {"strips too short", Made(With(grey, {Long(kStripByteCounts, {15})})),
       "Error reading image data"},
      {"strip across the end", Made(With(grey, {Long(kStripOffsets, {170})})),
       "Error reading image data"},
      {"strip offset huge", Made(With(grey, {Long(kStripOffsets, {0xFFFFFFF0})})),
       "Error reading image data"},
      {"too wide", Made(With(rgb, {Long(kImageWidth, {0xFFFFFFFF})})), "Out Of Memory "},
      {"too big", Made(With(grey, {Long(kImageWidth, {40000}), Long(kImageLength, {40000})})),
       "Out Of Memory "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Loaded loaded = Load(c.file);
    EXPECT_FALSE(loaded.ok);
    EXPECT_TRUE(loaded.bitmap.Empty());
    ASSERT_EQ(loaded.texts, Texts{c.message});
    EXPECT_EQ(loaded.shown[0].kind, MessageKind::Information);
    EXPECT_EQ(loaded.shown[0].buttons, MessageButtons::Ok);
  }
  EXPECT_EQ(Load({}, "/nonexistent/x.tif").texts,
            Texts{"</nonexistent/x.tif> is not a valid TIFF file"});
}

// --- pixels and colour tables ---------------------------------------------------------------

TEST(TiffPixels, ColourTablesFollowTheImageKind) {
  std::vector<uint32_t> map(768);
  map[1] = 0xFF00, map[256 + 1] = 0x80FF, map[512 + 1] = 0x00FF;  // entry 1: high bytes FF, 80, 00
  const struct {
    const char* what;
    Bytes file;
    int bits;
    std::vector<RGBQuad> firstPixels;
  } cases[] = {
      {"bilevel WhiteIsZero", OneImage(3, 1, kWhiteIsZero, {1}, {0b10100000}), 1,
       {Grey(0), Grey(255), Grey(0)}},
      {"bilevel BlackIsZero", OneImage(3, 1, kBlackIsZero, {1}, {0b10100000}), 1,
       {Grey(255), Grey(0), Grey(255)}},
      {"no depth is bilevel",
       Made(Without(ImageFields(2, 1, kBlackIsZero, {}, 8, 1), kBitsPerSample)), 1, {Grey(0)}},
      {"grey 4 bits", OneImage(4, 1, kBlackIsZero, {4}, {0x01, 0xF7}), 4,
       {Grey(0), Grey(17), Grey(255), Grey(119)}},
      {"grey 4 bits WhiteIsZero", OneImage(3, 1, kWhiteIsZero, {4}, {0x01, 0xF0}), 4,
       {Grey(255), Grey(238), Grey(0)}},
      {"grey 8 bits WhiteIsZero", OneImage(2, 1, kWhiteIsZero, {8}, {0, 200}), 8,
       {Grey(255), Grey(55)}},
      {"palette high bytes", OneImage(2, 1, kPalette, {8}, {1, 0}, {Short(kColorMap, map)}), 8,
       {{0x00, 0x80, 0xFF, 0}, Grey(0)}},
      {"oversized map is a ramp",
       OneImage(2, 1, kPalette, {8}, {9, 200}, {Short(kColorMap, std::vector<uint32_t>(771, 1))}),
       8, {Grey(9), Grey(200)}},
      {"RGB, one depth for three", OneImage(2, 1, kRgb, {8}, {1, 2, 3, 4, 5, 6}), 24,
       {{3, 2, 1, 0}, {6, 5, 4, 0}}},
      {"bilevel, low bit first",
       OneImage(3, 1, kWhiteIsZero, {1}, {0b00000101}, {Short(kFillOrder, {2})}), 1,
       {Grey(0), Grey(255), Grey(0)}},
      {"grey 4 bits, low bit first",
       OneImage(4, 1, kBlackIsZero, {4}, {0x80, 0xEF}, {Short(kFillOrder, {2})}), 4,
       {Grey(0), Grey(17), Grey(255), Grey(119)}},
      {"RGB, Motorola order", OneImage(2, 1, kRgb, {8, 8, 8}, {1, 2, 3, 4, 5, 6}, {}, false), 24,
       {{3, 2, 1, 0}, {6, 5, 4, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Loaded loaded = Load(c.file);
    ASSERT_TRUE(loaded.ok) << ::testing::PrintToString(loaded.texts);
    EXPECT_EQ(loaded.bitmap.BitsPerPixel(), c.bits);
    for (size_t x = 0; x < c.firstPixels.size(); ++x)
      EXPECT_EQ(loaded.bitmap.PixelColor(int(x), 0), c.firstPixels[x]) << x;
  }
}

TEST(TiffPixels, StripsFillRowsInOrderWhateverTheirSplit) {
  const std::vector<Bytes> splits[] = {{{1, 2, 3, 4}, {5}, {6, 7, 8, 9}},
                                       {{1, 2, 3, 4, 5}, {6, 7, 8, 9}},
                                       {{1, 2, 3, 4}, {}, {5, 6, 7, 8, 9}},  // an empty strip
                                       {{1, 2, 3, 4, 5, 6, 7, 8, 9, 99}}};
  for (const auto& strips : splits) {
    for (const bool reversed : {false, true}) {  // stored in strip order, or last strip first
      TiffMaker maker;
      std::vector<uint32_t> offsets(strips.size()), counts;  // two SHORTs fit in the entry
      for (size_t k = 0; k < strips.size(); ++k) {
        const size_t i = reversed ? strips.size() - 1 - k : k;
        offsets[i] = maker.Data(strips[i]);
        counts.push_back(uint32_t(strips[k].size()));
      }
      maker.Directory(ImageFields(3, 3, kBlackIsZero, {8}, 0, 0,
                                  {Long(kStripOffsets, offsets), Short(kStripByteCounts, counts)}));
      const Loaded loaded = Load(maker.bytes);
      ASSERT_TRUE(loaded.ok) << ::testing::PrintToString(loaded.texts);
      for (int i = 0; i < 9; ++i)
        EXPECT_EQ(loaded.bitmap.PixelColor(i % 3, i / 3), Grey(uint8_t(i + 1)));
    }
  }
}

TEST(TiffPixels, WidthIsNotCutTo16Bits) {
  Bytes rows((70000 + 7) / 8, 0);
  rows.back() = 0x01;
  const Loaded loaded = Load(OneImage(70000, 1, kBlackIsZero, {1}, rows));
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.bitmap.Width(), 70000);
  EXPECT_EQ(loaded.bitmap.PixelColor(69999, 0), Grey(255));
}

// Files from ImageMagick and libtiff's tools: bits filled from the low end (tiffcp reverses each
// byte) read as ImageMagick reads them; grey with extra samples is refused.
TEST(TiffPixels, OddFilesFromIndependentTools) {
  const bool tools = std::system("command -v convert-im6.q16 >/dev/null 2>&1") == 0 &&
                     std::system("command -v tiffcp >/dev/null 2>&1") == 0 &&
                     std::system("command -v tiffset >/dev/null 2>&1") == 0;
  if (!tools) GTEST_SKIP() << "ImageMagick or libtiff's tools are not installed";
  test::TempDir dir;
  const std::string im = "convert-im6.q16 ", plain = dir.File("plain.tif"), x = dir.File("x.tif");
  const std::string lowFirst = " -compress none '" + plain + "' && tiffcp -c none -f lsb2msb '" +
                               plain + "' '" + x + "'";
  const struct {
    const char* what;
    std::string make;
    std::string message;  // "" when the file reads as ImageMagick reads it
  } cases[] = {
      {"bilevel, padded rows",
       im + "-size 13x5 pattern:checkerboard -type bilevel -depth 1" + lowFirst, ""},
      {"grey 4 bits", im + "-size 7x3 gradient: -depth 4" + lowFirst, ""},
      {"RGB, rows without padding", im + "-size 4x3 gradient:red-blue -depth 8" + lowFirst, ""},
      {"grey+alpha", im + "-size 5x3 gradient: -alpha on -channel A -evaluate set 50% -depth 8 "
                          "-compress none '" + x + "'", "Error: Samples Per Pixel not 1"},
      {"RGB relabelled grey", im + "-size 5x3 gradient:red-blue -depth 8 -compress none '" + x +
                                   "' && tiffset -s 262 1 '" + x + "'",
       "Error: Samples Per Pixel not 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(std::system(("(" + c.make + ") >/dev/null 2>&1").c_str()), 0) << c.make;
    const Loaded loaded = Load({}, x);
    if (!c.message.empty()) {
      EXPECT_FALSE(loaded.ok);
      EXPECT_EQ(loaded.texts, Texts{c.message});
      continue;
    }
    ASSERT_TRUE(loaded.ok) << ::testing::PrintToString(loaded.texts);
    EXPECT_NE(dir.Read("x.tif"), dir.Read("plain.tif"));
    const std::string ref = dir.File("ref.ppm");
    ASSERT_EQ(std::system((im + "'" + x + "' -depth 8 ppm:'" + ref + "'").c_str()), 0);
    EXPECT_EQ(test::CompareRgb(test::ReadPnm(ref), test::ToRgb(loaded.bitmap)), "");
  }
}

// --- directory chains ---------------------------------------------------------------------------

TEST(TiffChain, LastDecodableDirectoryWins) {
  TiffMaker maker;
  const uint32_t first = maker.Data({10, 20}), second = maker.Data({30, 40, 50, 60});
  maker.Directory(ImageFields(2, 1, kBlackIsZero, {8}, first, 2));
  maker.Directory(ImageFields(2, 2, kBlackIsZero, {8}, second, 4));
  EXPECT_EQ(Load(maker.bytes).bitmap.PixelColor(1, 1), Grey(60));

  maker.Directory(ImageFields(2, 2, kRgb, {8, 8, 8}, second, 12, {Short(kCompression, {5})}));
  const Loaded lzwLast = Load(maker.bytes);
  EXPECT_TRUE(lzwLast.ok);
  EXPECT_EQ(lzwLast.texts, Texts{"Cant read compressed RGB Full Color Image" + kRequest});
  EXPECT_EQ(lzwLast.bitmap.PixelColor(1, 1), Grey(60));

  maker.Directory(Without(ImageFields(2, 1, kBlackIsZero, {8}, first, 2), kPhotometric));
  const Loaded stopped = Load(maker.bytes);  // a page without photometric stops the load
  EXPECT_FALSE(stopped.ok);
  EXPECT_EQ(stopped.texts.back(), "Error reading tag Photometric interpretation");
}

TEST(TiffChain, WalkEndsAtARepeatedOffsetOr256Directories) {
  TiffMaker maker;
  const uint32_t pixels = maker.Data({7});
  const uint32_t first = maker.Directory(ImageFields(1, 1, kBlackIsZero, {8}, pixels, 1));
  const uint32_t second = maker.Directory(ImageFields(1, 1, kBlackIsZero, {8}, pixels, 1));
  for (const uint32_t target : {first, second}) {  // back to the first, or to itself
    maker.LinkLastTo(target);
    TFileTiff file;
    file.Open(MemoryTiffSource(maker.bytes), "loop.tif");
    EXPECT_EQ(file.DirectoryCount(), 2);
    EXPECT_TRUE(Load(maker.bytes).ok);
  }
  maker.LinkLastTo(0);
  for (int i = 0; i < 300; ++i) maker.Directory(ImageFields(1, 1, kBlackIsZero, {8}, pixels, 1));
  TFileTiff file;
  file.Open(MemoryTiffSource(maker.bytes), "many.tif");
  EXPECT_EQ(file.DirectoryCount(), 256);
  EXPECT_THROW(file.Directory(256), std::out_of_range);
}

// --- hostile headers
// ------------------------------------------------------------------------------

TEST(TiffHostile, BrokenChainsFailWithoutReadingPastTheEnd) {
  const Bytes good = OneImage(2, 2, kBlackIsZero, {8}, {1, 2, 3, 4});  // directory at 12
  TiffMaker put;
  const struct {
    const char* what;
    size_t at, size;
    uint32_t value;
    int directories;
  } cases[] = {{"first directory past the end", 4, 4, 0xFFFFFFF0, 1},
               {"first directory below 8", 4, 4, 4, 0},
               {"65535 entries in a small file", 12, 2, 0xFFFF, 1},
               {"next directory past the end", good.size() - 4, 4, 0x7FFFFFFF, 2},
               {"cut inside the entries", 0, 0, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = good;
    if (c.size)
      put.Put(&bytes[c.at], uint32_t(c.size), c.value);
    else
      bytes.resize(bytes.size() - 30);
    TFileTiff file;
    file.Open(MemoryTiffSource(bytes), "hostile.tif");
    ASSERT_EQ(file.DirectoryCount(), c.directories);
    if (c.directories) {
      EXPECT_TRUE(file.Directory(c.directories - 1).ReadFailure());
    }
    EXPECT_FALSE(Load(bytes).ok);
  }
}

TEST(TiffHostile, OverlappingDirectoriesCannotMultiplyMemory) {
  // 256 directories of 86 entries at 8, 12, 16, ... all over the same 2 KB: counts side by side,
  // each next offset just after the shared entries pointing at the following count.
  constexpr uint32_t kEntries = 86, kNextAt = 8 + 2 + 12 * kEntries;
  TiffMaker maker;
  maker.bytes.resize(kNextAt + 4 * 256);
  maker.Put(&maker.bytes[4], 4, 8);
  for (uint32_t k = 0; k < 256; ++k) {
    maker.Put(&maker.bytes[8 + 4 * k], 2, kEntries);
    maker.Put(&maker.bytes[kNextAt + 4 * k], 4, 8 + 4 * (k + 1));
  }
  TFileTiff file;
  file.Open(MemoryTiffSource(maker.bytes), "overlap.tif");
  size_t entries = 0;
  for (int i = 0; i < file.DirectoryCount(); ++i) entries += file.Directory(i).Entries().size();
  EXPECT_GT(entries, 0u);
  EXPECT_LE(entries, maker.bytes.size() / 12);

  // 256 directories sharing one table of 1000 strips.
  TiffMaker shared;
  const uint32_t table = shared.Data(Bytes(4000, 0));
  for (int i = 0; i < 256; ++i)
    shared.Directory({Raw(kStripOffsets, 1000, table), Raw(kStripByteCounts, 1000, table)});
  file.Open(MemoryTiffSource(shared.bytes), "strips.tif");
  ASSERT_EQ(file.DirectoryCount(), 256);
  size_t strips = 0;
  for (int i = 0; i < file.DirectoryCount(); ++i) strips += file.Directory(i).StripCount();
  EXPECT_GE(strips, 1000u);
  EXPECT_LE(strips, shared.bytes.size());
}

// Writes the fuzzer's seed corpus when VELK_TIFF_SEEDS names a folder:
//   VELK_TIFF_SEEDS=fuzz/seeds/tiff_reader tiff_tests --gtest_filter=TiffSeeds.*
TEST(TiffSeeds, WriteCorpusWhenAsked) {
  const char* folder = std::getenv("VELK_TIFF_SEEDS");
  if (!folder) GTEST_SKIP() << "set VELK_TIFF_SEEDS to write the seed corpus";
  std::map<std::string, Bytes> seeds;
  for (const int bits : {1, 4, 8, 24}) {
    Bitmap bitmap(5, 3, bits);
    for (size_t i = 0; i < bitmap.ByteSize(); ++i) bitmap.Bits()[i] = uint8_t(i * 29);
    seeds["written-" + std::to_string(bits) + ".tif"] = WriteBitmapAsTiff(bitmap);
  }
  seeds["grey4-mm.tif"] = OneImage(3, 2, kBlackIsZero, {4}, {0x12, 0x30, 0xFE, 0xD0}, {}, false);
  seeds["bilevel-white.tif"] = OneImage(9, 2, kWhiteIsZero, {1}, {0xA5, 0x80, 0x5A, 0x00});
  seeds["rgb-count1.tif"] = OneImage(2, 1, kRgb, {8}, {1, 2, 3, 4, 5, 6});
  TiffMaker chain;
  const uint32_t a = chain.Data({1, 2, 3, 4}), b = chain.Data({5, 6, 7, 8});
  chain.Directory(ImageFields(2, 2, kBlackIsZero, {8}, 0, 0,
                              {Long(kStripOffsets, {a, b}), Short(kStripByteCounts, {2, 2})}));
  chain.Directory(ImageFields(1, 1, kRgb, {8, 8, 8}, b, 3, {Short(kCompression, {5})}));
  const uint32_t last = chain.Directory(ImageFields(2, 1, kWhiteIsZero, {8}, a, 2));
  seeds["chain.tif"] = chain.bytes;
  chain.LinkLastTo(last);
  seeds["loop.tif"] = chain.bytes;
  for (const auto& [name, bytes] : seeds) {
    std::ofstream out(std::string(folder) + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << name;
  }
}

}  // namespace
}  // namespace velk
