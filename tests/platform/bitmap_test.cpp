#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <new>
#include <tuple>
#include <utility>

#include "platform/bitmap.h"
#include "platform/large_pages.h"
#include "platform/recycled_blocks.h"

namespace velk {
namespace {

TEST(Bitmap, RowsArePaddedToFourBytes) {
  for (auto [width, bits, stride] : {std::tuple{33, 1, 8u}, {9, 4, 8u}, {5, 8, 8u}, {3, 16, 8u},
                                     {5, 24, 16u}, {3, 32, 12u}}) {
    const Bitmap b(width, 3, bits);
    EXPECT_EQ(b.Stride(), stride) << width << "x" << bits;
    EXPECT_EQ(b.ByteSize(), 3 * stride);
    EXPECT_EQ(b.Palette().size(), bits <= 8 ? 1u << bits : 0u);
  }
  EXPECT_EQ(Bitmap::StrideFor(-1, 8), 0u);
}

TEST(Bitmap, SizeLimitHoldsWithoutOverflow) {
  const int limitWidth = int(kMaxBitmapBytes / 4);  // one 32-bit row of exactly the limit
  EXPECT_TRUE(Bitmap::SizeAllowed(limitWidth, 1, 32));
  EXPECT_FALSE(Bitmap::SizeAllowed(limitWidth, 2, 32));
  EXPECT_FALSE(Bitmap::SizeAllowed(INT_MAX, INT_MAX, 32));
  EXPECT_FALSE(Bitmap::SizeAllowed(1, -1, 8));
  EXPECT_THROW(Bitmap(100000, 100000, 24), std::bad_alloc);
  EXPECT_THROW(Bitmap(1, 1, 2), std::bad_alloc);
}

TEST(Bitmap, TheMemoryOfOneLetGoServesTheNextOfAboutItsSizeZeroed) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  const bool recycles = false;  // the sanitizers must see every use after free
#else
  const bool recycles = true;
#endif
  DropRecycledBlocks();
  const uint8_t* first = nullptr;
  {
    Bitmap shown(640, 480, 24);
    std::memset(shown.Bits(), 0xAB, shown.ByteSize());
    first = shown.Bits();
  }
  const Bitmap half(320, 480, 24), tiny(64, 64, 24);  // much smaller: not given it
  EXPECT_NE(half.Bits(), first);
  EXPECT_NE(tiny.Bits(), first);
  const Bitmap next(636, 480, 24);
  EXPECT_EQ(next.Bits() == first, recycles);
  EXPECT_TRUE(std::all_of(next.Bits(), next.Bits() + next.ByteSize(), [](uint8_t b) { return b == 0; }));
  DropRecycledBlocks();
}

// 2 MiB pages only while large blocks come and go: not at start-up, not after an idle spell.
TEST(Bitmap, LargePagesOnlyWhileLargeBlocksTurnOver) {
  using std::chrono::milliseconds;
  const auto start = std::chrono::steady_clock::now() + std::chrono::hours(1);
  LargeBlocksTurnedOverLately(start);
  for (auto [after, lately] : {std::pair{0, true}, {900, true}, {2100, false}, {2150, true}})
    EXPECT_EQ(LargeBlocksTurnedOverLately(start + milliseconds(after)), lately) << after;
}

TEST(Bitmap, PixelColorReadsEveryDepth) {
  const RGBQuad c{1, 2, 3, 0};
  Bitmap b1(9, 1, 1), b4(2, 1, 4), b8(1, 1, 8);
  b1.Palette()[1] = b4.Palette()[2] = c;
  b1.ScanLine(0)[1] = 0x80;  // the top bit is the leftmost pixel
  b4.ScanLine(0)[0] = 0x20;  // so is the high nibble
  b8.Palette().resize(4);    // an index past a shortened palette is black
  b8.ScanLine(0)[0] = 200;
  EXPECT_EQ(b1.PixelColor(8, 0), c);
  EXPECT_EQ(b1.PixelColor(7, 0), RGBQuad{});
  EXPECT_EQ(b4.PixelColor(0, 0), c);
  EXPECT_EQ(b4.PixelColor(1, 0), RGBQuad{});
  EXPECT_EQ(b8.PixelColor(0, 0), RGBQuad{});

  Bitmap b16(2, 1, 16), b24(1, 1, 24), b32(1, 1, 32);
  const uint8_t v16[] = {0xFF, 0x7F, 0x01, 0x7C}, v[] = {1, 2, 3, 4};
  std::copy(v16, v16 + 4, b16.ScanLine(0));  // white; red 31 with blue 1
  std::copy(v, v + 3, b24.ScanLine(0));
  std::copy(v, v + 4, b32.ScanLine(0));
  EXPECT_EQ(b16.PixelColor(0, 0), (RGBQuad{255, 255, 255, 0}));
  EXPECT_EQ(b16.PixelColor(1, 0), (RGBQuad{8, 0, 255, 0}));
  EXPECT_EQ(b24.PixelColor(0, 0), c);
  EXPECT_EQ(b32.PixelColor(0, 0), c);
}

}  // namespace
}  // namespace velk
