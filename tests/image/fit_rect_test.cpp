#include "image/fit_rect.h"

#include <gtest/gtest.h>

namespace velk {
namespace {

TEST(FitRect, WidthOrHeightLimitsTheSize) {
  // 640 x 480 in 529 x 487: the width limits; h = trunc(480 x 0.8265625) = 396.
  EXPECT_EQ(ComputeFitRect(529, 487, 640, 480), (FitRect{0, 45, 529, 441}));
  // 400 x 1000 in 529 x 487: the height limits; w = trunc(400 x 0.487) = 194.
  EXPECT_EQ(ComputeFitRect(529, 487, 400, 1000), (FitRect{167, 0, 361, 487}));
}

TEST(FitRect, SameAspectFillsAndSmallPicturesAreEnlarged) {
  EXPECT_EQ(ComputeFitRect(529, 487, 529, 487), (FitRect{0, 0, 529, 487}));
  EXPECT_EQ(ComputeFitRect(400, 300, 40, 30), (FitRect{0, 0, 400, 300}));
  EXPECT_EQ(ComputeFitRect(800, 600, 1600, 1200), (FitRect{0, 0, 800, 600}));
  // 10 x 10 into 100 x 50: the height limits, the picture grows to 50 x 50.
  EXPECT_EQ(ComputeFitRect(100, 50, 10, 10), (FitRect{25, 0, 75, 50}));
}

TEST(FitRect, OddLeftoverPutsTheSmallerMarginFirst) {
  // 100 x 97 in 100 x 100: leftover 3 -> margin 1 above, 2 below.
  const FitRect r = ComputeFitRect(100, 100, 100, 97);
  EXPECT_EQ(r.top, 1);
  EXPECT_EQ(100 - r.bottom, 2);
  const FitRect c = ComputeFitRect(100, 100, 97, 100);
  EXPECT_EQ(c.left, 1);
  EXPECT_EQ(100 - c.right, 2);
}

TEST(FitRect, RatiosAreStoredWithFortyBitSignificands) {
  EXPECT_EQ(RoundToReal48(0.75L), 0.75L);  // exact in 40 bits
  EXPECT_NE(RoundToReal48(0.8265625L), 0.8265625L);  // 529/640 is not
  EXPECT_EQ(RoundToReal48(0.0L), 0.0L);
  EXPECT_NE(RoundToReal48(1.0L / 3.0L), 1.0L / 3.0L);
  // 529/3 stored in 40 bits lies just below 176 1/3, so a 3 x 3 picture in a 529-wide control
  // is 528 rows high, where a double or extended ratio would give 529.
  EXPECT_EQ(ComputeFitRect(529, 600, 3, 3), (FitRect{0, 36, 529, 564}));
  // 1920/11 likewise: an 11 x 11 picture in a tall 1920-wide control is 1919 rows high.
  EXPECT_EQ(ComputeFitRect(1920, 2000, 11, 11).bottom - ComputeFitRect(1920, 2000, 11, 11).top, 1919);
}

}  // namespace
}  // namespace velk
