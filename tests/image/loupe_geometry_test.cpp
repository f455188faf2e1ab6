#include "image/loupe_geometry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace velk {
namespace {

TEST(LoupeGeometry, SourceSizeRoundsHalvesToEvenAtEveryZoom) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(53.5), 54);
  EXPECT_EQ(RoundHalfEven(40.5), 40);
  // The loupe window's 107 x 162 at zoom 1 to 10.
  const int expected[10][2] = {{107, 162}, {54, 81}, {36, 54}, {27, 40}, {21, 32},
                               {18, 27},   {15, 23}, {13, 20}, {12, 18}, {11, 16}};
  for (int zoom = 1; zoom <= 10; ++zoom) {
    const SourceSize size = LoupeSourceSize(107, 162, zoom);
    EXPECT_EQ(size.width, expected[zoom - 1][0]) << "zoom " << zoom;
    EXPECT_EQ(size.height, expected[zoom - 1][1]) << "zoom " << zoom;
  }
  EXPECT_EQ(LoupeSourceSize(107, 162, -3).width, 107);
  EXPECT_LE(LoupeSourceSize(107, 162, 1e-300).width, 8192);
}

TEST(LoupeGeometry, CaptureAreaIsCentredOnThePointerWithTruncatedHalves) {
  const CaptureOrigin origin = LoupeCaptureOrigin(500, 400, {27, 40});
  EXPECT_EQ(origin.left, 487);
  EXPECT_EQ(origin.top, 380);
  EXPECT_EQ(LoupeCaptureOrigin(500, 400, {11, 16}).left, 495);
}

// Draws into a small canvas and shows it as letters: 'T' top colour 1, 'B' bottom colour 2.
std::vector<std::string> Drawn(int width, int height,
                               const std::function<void(const PixelGrid&)>& draw) {
  std::vector<uint32_t> pixels(size_t(width * height));
  draw({pixels.data(), width, height, width});
  std::vector<std::string> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rows[size_t(y)] += ".TB"[pixels[size_t(y * width + x)]];
  return rows;
}

TEST(LoupeGeometry, Frame3DDrawsPolylineRingsAndReturnsTheInnerArea) {
  FrameRect inner;
  // The bottom colour takes the top-right and bottom-left corners.
  EXPECT_EQ(Drawn(6, 6, [&](const PixelGrid& g) { inner = DrawFrame3D(g, {0, 0, 6, 6}, 1, 2, 2); }),
            (std::vector<std::string>{"TTTTTB", "TTTTBB", "TT..BB", "TT..BB", "TBBBBB", "BBBBBB"}));
  EXPECT_EQ(inner.left, 2);
  EXPECT_EQ(inner.top, 2);
  EXPECT_EQ(inner.right, 4);
  EXPECT_EQ(inner.bottom, 4);
}

TEST(LoupeGeometry, LoweredOuterAndRaisedInnerBevels) {
  // Shadow 1 above the outer ring, highlight 2 above the inner one.
  EXPECT_EQ(Drawn(6, 6, [](const PixelGrid& g) {
              DrawLoupeBevels(g, TPanelBevel::Lowered, TPanelBevel::Raised, 1, 1, 2);
            }),
            (std::vector<std::string>{"TTTTTB", "TBBBTB", "TB..TB", "TB..TB", "TTTTTB", "BBBBBB"}));
  // Without an outer bevel the inner one takes the outermost ring; rings clip to tiny areas.
  EXPECT_EQ(Drawn(4, 3, [](const PixelGrid& g) {
              DrawLoupeBevels(g, TPanelBevel::None, TPanelBevel::Lowered, 1, 1, 2);
            }),
            (std::vector<std::string>{"TTTB", "T..B", "BBBB"}));
  EXPECT_EQ(Drawn(1, 1, [](const PixelGrid& g) {
              DrawLoupeBevels(g, TPanelBevel::Lowered, TPanelBevel::None, 1 << 30, 1, 2);
            }),
            (std::vector<std::string>{"B"}));
}

}  // namespace
}  // namespace velk
