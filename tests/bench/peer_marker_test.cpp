// The peer benchmark's screen probe: when a strip of the screen shows a photo's marker block,
// and where the block is on a whole screen.
#include <gtest/gtest.h>

#include <vector>

extern "C" {
#include "marker.h"
}

namespace {

constexpr unsigned kRed = 0xFF0000;

struct Screen {
  int width, height;
  std::vector<unsigned> pixels;
  Screen(int w, int h) : width(w), height(h), pixels(size_t(w) * h, 0x404040) {}
  void Fill(int x0, int y0, int w, int h, unsigned colour) {
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) pixels[size_t(y) * width + x] = colour;
  }
};

TEST(PeerMarker, StripShowsTheColourOverARunOfColumnsInAllRows) {
  struct Case {
    const char* what;
    int left, columns, rows;  // where the colour is, in a strip of 200 x 8
    unsigned colour;
    bool shown;
  } cases[] = {
      {"the block across the strip", 20, 160, 8, kRed, true},
      {"JPEG rounding", 20, 160, 8, 0xD03030, true},
      {"a window further right", 150, 50, 8, kRed, true},
      {"too narrow a run", 20, 47, 8, kRed, false},
      {"a picture half drawn", 20, 160, 4, kRed, false},
      {"a channel too far off", 20, 160, 8, 0xFF0031, false},
      {"another marker", 20, 160, 8, 0x800000, false},
  };
  for (const Case& c : cases) {
    Screen strip(200, 8);
    strip.Fill(c.left, 0, c.columns, c.rows, c.colour);
    EXPECT_EQ(MarkerShown(strip.pixels.data(), 200, 200, 8, kRed), c.shown) << c.what;
  }
}

TEST(PeerMarker, CentreIsThatOfTheLargestBlockNotOfAThumbnail) {
  Screen screen(400, 300);
  screen.Fill(10, 250, 30, 20, kRed);     // a thumbnail in a strip below
  screen.Fill(100, 60, 200, 150, kRed);   // the photo's marker
  screen.Fill(350, 20, 40, 40, 0x00FF00); // another colour
  int x = 0, y = 0;
  ASSERT_TRUE(MarkerCentre(screen.pixels.data(), 400, 400, 300, kRed, &x, &y));
  EXPECT_NEAR(x, 200, 1);
  EXPECT_NEAR(y, 135, 1);

  Screen small(400, 300);
  small.Fill(10, 10, 12, 12, kRed);
  EXPECT_FALSE(MarkerCentre(small.pixels.data(), 400, 400, 300, kRed, &x, &y));
}

}  // namespace
