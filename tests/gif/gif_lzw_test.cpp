// The LZW coder: exact bit streams, the Clear and code-width rules, and corrupt data.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gif/gif_bytes.h"
#include "gif/gif_exception.h"
#include "gif/gif_lzw_decoder.h"
#include "gif/gif_lzw_encoder.h"

namespace velk {
namespace {

// The encoder's output: minimum code size byte, then sub-blocks joined.
struct Encoded {
  int minCodeSize = 0;
  std::vector<uint8_t> data;
  std::vector<size_t> blockSizes;
};

Encoded Encode(const std::vector<uint8_t>& pixels, int minCodeSize, int colors) {
  std::vector<uint8_t> bytes;
  GIFByteWriter writer(bytes);
  EncodeGIFLZW(pixels.data(), pixels.size(), minCodeSize, colors, writer);
  GIFByteReader reader(bytes.data(), bytes.size());
  Encoded out;
  out.minCodeSize = reader.Byte();
  for (size_t n; (n = reader.SubBlock(out.data)) != 0;) out.blockSizes.push_back(n);
  EXPECT_EQ(reader.Remaining(), 0u);
  return out;
}

std::vector<uint8_t> Decode(const Encoded& in, size_t count,
                            std::vector<std::string>* warnings = nullptr) {
  std::vector<uint8_t> out(count + kLZWOutputSlack);
  const size_t n = DecodeGIFLZW(in.data.data(), in.data.size(), in.minCodeSize, out.data(), count,
                                [&](const std::string& w) {
                                  if (warnings) warnings->push_back(w);
                                });
  out.resize(n);
  return out;
}

// Codes as a GIF decoder reads them: the width grows when the next free code reaches 2^width,
// that code being taken by every code but the first after a Clear.
class CodeStream {
public:
  explicit CodeStream(int minCodeSize) : min_(minCodeSize) { Reset(); }
  void Put(unsigned code) {
    for (unsigned i = 0; i < width_; ++i, ++bit_) {
      if (bit_ % 8 == 0) bytes_.push_back(0);
      if (code >> i & 1) bytes_.back() |= uint8_t(1 << (bit_ % 8));
    }
    Advance(code);
  }
  std::vector<unsigned> Read(const std::vector<uint8_t>& bytes) {
    std::vector<unsigned> codes;
    size_t bit = 0;
    while (bit + width_ <= bytes.size() * 8) {
      unsigned code = 0;
      for (unsigned i = 0; i < width_; ++i, ++bit)
        code |= unsigned(bytes[bit / 8] >> (bit % 8) & 1) << i;
      codes.push_back(code);
      if (code == (1u << min_) + 1) break;
      Advance(code);
    }
    return codes;
  }
  Encoded Done() const { return Encoded{min_, bytes_, {}}; }

private:
  void Reset() {
    width_ = unsigned(min_) + 1;
    next_ = (1u << min_) + 2;
    first_ = true;
  }
  void Advance(unsigned code) {
    if (code == 1u << min_) return Reset();
    if (!first_ && next_ < 4096 && ++next_ == 1u << width_ && width_ < 12) ++width_;
    first_ = false;
  }
  int min_;
  unsigned width_ = 0, next_ = 0;
  bool first_ = true;
  std::vector<uint8_t> bytes_;
  size_t bit_ = 0;
};

TEST(GifLzw, EncodesFourZerosToTheKnownBits) {
  // Clear(4), 0, 6, then 0 when the next free code 8 passes 2^3 - 1, so EOI(5) takes 4 bits.
  const Encoded e = Encode({0, 0, 0, 0}, 2, 4);
  EXPECT_EQ(e.minCodeSize, 2);
  EXPECT_EQ(e.data, (std::vector<uint8_t>{0x84, 0x51}));
  EXPECT_EQ(Decode(e, 4), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(GifLzw, RoundTripsEveryCodeSize) {
  std::mt19937 random(7);
  for (int bits = 2; bits <= 8; ++bits) {
    for (size_t size : {size_t(1), size_t(2), size_t(1000), size_t(70000)}) {
      std::vector<uint8_t> pixels(size);
      // Runs and noise: long strings and table resets both happen.
      for (size_t i = 0; i < size; ++i)
        pixels[i] = uint8_t(i % 97 < 40 ? 1 : random() % (1u << bits));
      const Encoded e = Encode(pixels, bits, 1 << bits);
      EXPECT_EQ(Decode(e, size), pixels) << bits << " bits, " << size << " pixels";
    }
  }
}

TEST(GifLzw, PacksSubBlocksOf255Bytes) {
  std::mt19937 random(3);
  std::vector<uint8_t> pixels(5000);
  for (uint8_t& p : pixels) p = uint8_t(random());
  const Encoded e = Encode(pixels, 8, 256);
  ASSERT_GT(e.blockSizes.size(), 2u);
  for (size_t i = 0; i + 1 < e.blockSizes.size(); ++i) EXPECT_EQ(e.blockSizes[i], 255u);
  EXPECT_LE(e.blockSizes.back(), 255u);
}

TEST(GifLzw, ClearsWhenTheNextFreeCodeWouldBe4095) {
  std::mt19937 random(11);
  std::vector<uint8_t> pixels(60000);
  for (uint8_t& p : pixels) p = uint8_t(random());
  const Encoded e = Encode(pixels, 8, 256);
  const std::vector<unsigned> codes = CodeStream(8).Read(e.data);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), 256u);
  EXPECT_EQ(codes.back(), 257u);
  // Free codes 258..4094 are given to 3837 strings; the 3838th code after a Clear is followed by
  // the next Clear.
  std::vector<size_t> clears;
  for (size_t i = 0; i < codes.size(); ++i)
    if (codes[i] == 256) clears.push_back(i);
  ASSERT_GE(clears.size(), 3u);
  for (size_t k = 1; k < clears.size(); ++k) EXPECT_EQ(clears[k] - clears[k - 1], 3839u);
  for (unsigned code : codes) EXPECT_LT(code, 4095u);
}

TEST(GifLzw, RefusesAPixelBeyondTheColourCount) {
  try {
    Encode({0, 1, 2, 3, 4}, 2, 4);
    FAIL() << "no exception";
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), "Color not in color table");
  }
}

TEST(GifLzw, DecodesTheStringBeingDefined) {
  CodeStream s(2);
  for (unsigned code : {4u, 1u, 6u, 6u + 1, 5u}) s.Put(code);  // 1, 11, 111
  EXPECT_EQ(Decode(s.Done(), 6), (std::vector<uint8_t>{1, 1, 1, 1, 1, 1}));
}

TEST(GifLzw, KeepsDecodingWithAFullTableAndNoClear) {
  CodeStream s(2);
  s.Put(4);
  for (int i = 0; i < 5000; ++i) s.Put(i % 2);  // entries "01"/"10" until the table is full
  s.Put(4095);                                  // the last entry: "10"
  s.Put(5);
  const std::vector<uint8_t> out = Decode(s.Done(), 5002);
  ASSERT_EQ(out.size(), 5002u);
  EXPECT_EQ(out[4999], 1);
  EXPECT_EQ(out[5000], 1);
  EXPECT_EQ(out[5001], 0);
}

std::string DecodeError(const Encoded& e, size_t count) {
  try {
    Decode(e, count);
  } catch (const GIFException& error) {
    return error.what();
  }
  return "no error";
}

TEST(GifLzw, NamesCorruptData) {
  EXPECT_EQ(DecodeError(Encoded{9, {0, 0, 0}, {}}, 4), "ClearCode too large");
  EXPECT_EQ(DecodeError(Encoded{1, {0, 0, 0}, {}}, 4), "StartIndex too large");
  EXPECT_EQ(DecodeError(Encoded{0, {0, 0, 0}, {}}, 4), "StartIndex too large");
  CodeStream tooLarge(2);
  for (unsigned code : {4u, 0u, 7u}) tooLarge.Put(code);  // 6 is the next free code
  EXPECT_EQ(DecodeError(tooLarge.Done(), 4), "Code too large");
  CodeStream circular(2);
  for (unsigned code : {4u, 6u}) circular.Put(code);  // nothing to build 6 from
  EXPECT_EQ(DecodeError(circular.Done(), 4), "Circular decoder table entry");
}

TEST(GifLzw, DataThatEndsEarlyKeepsWhatWasDecoded) {
  CodeStream s(2);
  for (unsigned code : {4u, 1u}) s.Put(code);  // 6 bits: the 2 left over are no code
  std::vector<std::string> warnings;
  EXPECT_EQ(Decode(s.Done(), 10, &warnings), (std::vector<uint8_t>{1}));
  EXPECT_EQ(warnings,
            (std::vector<std::string>{"Decoder bit buffer under-run", "Premature end of data"}));

  CodeStream early(2);
  for (unsigned code : {4u, 3u, 5u, 1u}) early.Put(code);  // EOI before the pixels are done
  warnings.clear();
  EXPECT_EQ(Decode(early.Done(), 10, &warnings), (std::vector<uint8_t>{3}));
  EXPECT_EQ(warnings, (std::vector<std::string>{"Premature end of data"}));
}

TEST(GifLzw, StopsAtThePixelCount) {
  const Encoded e = Encode(std::vector<uint8_t>(100, 2), 2, 4);
  std::vector<std::string> warnings;
  EXPECT_EQ(Decode(e, 37, &warnings), std::vector<uint8_t>(37, 2));
  EXPECT_TRUE(warnings.empty());
}

}  // namespace
}  // namespace velk
