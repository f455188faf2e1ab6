/* Finding the marker block of the benchmark's photos in screen pixels (0xRRGGBB words). */
#ifndef VELK_BENCH_PEERS_MARKER_H
#define VELK_BENCH_PEERS_MARKER_H

/* Per channel: wide enough for JPEG's chroma rounding and a viewer's smoothing, narrow enough
 * that the markers (channels of 0, 128 or 255) never pass for one another. */
enum { kMarkerTolerance = 48 };

static inline int MarkerMatches(unsigned pixel, unsigned colour) {
  for (int shift = 0; shift < 24; shift += 8) {
    int a = (pixel >> shift) & 255, b = (colour >> shift) & 255;
    if (a - b > kMarkerTolerance || b - a > kMarkerTolerance) return 0;
  }
  return 1;
}

/* Whether the strip shows the colour over at least kMarkerRun columns in a row, in all of its
 * rows: a picture half drawn or still fading in does not count, and a window placed a little
 * further left or right still does. */
enum { kMarkerRun = 48 };
static inline int MarkerShown(const unsigned* pixels, int stride, int width, int height,
                              unsigned colour) {
  int run = 0;
  for (int x = 0; x < width; ++x) {
    int all = 1;
    for (int y = 0; y < height && all; ++y) all = MarkerMatches(pixels[y * stride + x], colour);
    run = all ? run + 1 : 0;
    if (run >= kMarkerRun) return 1;
  }
  return 0;
}

/* The middle of the longest run of the colour along a row (step 1) or a column (step stride). */
static inline int MarkerLongestRun(const unsigned* line, int step, int length, unsigned colour,
                                   int* middle) {
  int best = 0, run = 0;
  for (int i = 0; i < length; ++i) {
    run = MarkerMatches(line[i * step], colour) ? run + 1 : 0;
    if (run > best) best = run, *middle = i - run / 2;
  }
  return best;
}

/* The middle of the largest block of the colour (thumbnails of the same picture are smaller):
 * the longest run in the row with the most hits gives x, the column there gives y, and the row
 * through that y gives x again. Fails when no run is 16 pixels long. */
static inline int MarkerCentre(const unsigned* pixels, int stride, int width, int height,
                               unsigned colour, int* cx, int* cy) {
  int bestRow = 0, bestHits = -1;
  for (int y = 0; y < height; ++y) {
    int hits = 0;
    for (int x = 0; x < width; ++x) hits += MarkerMatches(pixels[y * stride + x], colour);
    if (hits > bestHits) bestHits = hits, bestRow = y;
  }
  int x = 0, y = 0;
  if (MarkerLongestRun(pixels + bestRow * stride, 1, width, colour, &x) < 16) return 0;
  if (MarkerLongestRun(pixels + x, stride, height, colour, &y) < 16) return 0;
  MarkerLongestRun(pixels + y * stride, 1, width, colour, &x);
  *cx = x, *cy = y;
  return 1;
}

#endif
