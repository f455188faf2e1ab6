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
  // 1/3 keeps 40 significant bits, not 64.
  const long double third = RoundToReal48(1.0L / 3.0L);
  EXPECT_NE(third, 1.0L / 3.0L);
  EXPECT_LT(std::abs(third - 1.0L / 3.0L), 1e-12L);
  EXPECT_EQ(RoundToReal48(0.8265625L), 0.8265625L);  // exact in 40 bits
  EXPECT_EQ(RoundToReal48(0.0L), 0.0L);
  // A ratio whose 64-bit product would reach the next integer but whose 40-bit one does not:
  // 3 x (1/3 rounded to 40 bits) stays below or at 1 exactly as the stored value says.
  const long double product = 3 * third;
  EXPECT_EQ(int(std::trunc(product)), third * 3 >= 1.0L ? 1 : 0);
}

TEST(FitRect, TruncationUsesTheStoredRatio) {
  // W/PW = 100/300 stored in 40 bits is 0.33333333333348... (rounded up), so 300 rows give 100.
  const FitRect r = ComputeFitRect(100, 1000, 300, 300);
  EXPECT_EQ(r.bottom - r.top, int(std::trunc(300 * RoundToReal48(100.0L / 300))));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 100);
}

}  // namespace
}  // namespace velk
