#include "image/smooth_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace velk {
namespace {

// The channel value of a bilinear sample at the centre of target pixel (x, y), in floating
// point, from the same pixel-centre mapping: what each target pixel should be, within the
// rounding of the two passes and of the weights (in 256ths).
double Expected(const QImage& source, QSize target, int x, int y, int shift) {
  auto along = [](int i, int from, int to, int& first, int& second) {
    const double centre = std::clamp((i + 0.5) * from / to - 0.5, 0.0, double(from - 1));
    first = int(centre);
    second = std::min(first + 1, from - 1);
    return centre - first;
  };
  int x0, x1, y0, y1;
  const double fx = along(x, source.width(), target.width(), x0, x1);
  const double fy = along(y, source.height(), target.height(), y0, y1);
  auto at = [&](int px, int py) { return double(source.pixel(px, py) >> shift & 0xff); };
  return (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) +
         (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
}

QImage Pattern(QSize size, QImage::Format format) {
  QImage image(size, format == QImage::Format_Indexed8 ? QImage::Format_Indexed8 : format);
  if (format == QImage::Format_Indexed8) {
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) table.append(qRgb(i, 255 - i, (i * 37) & 0xff));
    image.setColorTable(table);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) image.scanLine(y)[x] = uchar(x * 7 + y * 13);
    return image;
  }
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x)
      image.setPixel(x, y, qRgb((x * 7 + y) & 0xff, ((x ^ y) * 3) & 0xff, (y * 5 + x / 3) & 0xff));
  return image;
}

TEST(SmoothScale, EachPixelIsTheBilinearSampleAtItsCentreWithinRounding) {
  struct Case {
    QImage::Format format;
    QSize source, target;
  } const cases[] = {
      {QImage::Format_BGR888, {900, 700}, {529, 411}},  // a photo fitted, on two threads
      {QImage::Format_BGR888, {6000, 17}, {601, 5}},    // far down along, few rows
      {QImage::Format_BGR888, {37, 23}, {111, 70}},     // up
      {QImage::Format_RGB32, {301, 203}, {150, 101}},
      {QImage::Format_Indexed8, {255, 300}, {100, 130}},
      {QImage::Format_BGR888, {1, 1}, {5, 3}},          // one pixel: every sample is it
      {QImage::Format_BGR888, {17, 1}, {4, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.source.width() << "x" << c.source.height() << " -> "
                                    << c.target.width() << "x" << c.target.height()
                                    << " format " << int(c.format));
    const QImage source = Pattern(c.source, c.format);
    const QImage scaled = SmoothScaled(source, c.target);
    ASSERT_EQ(scaled.size(), c.target);
    ASSERT_EQ(scaled.format(), QImage::Format_RGB32);
    int worst = 0;
    for (int y = 0; y < c.target.height(); ++y)
      for (int x = 0; x < c.target.width(); ++x)
        for (const int shift : {0, 8, 16}) {
          const int got = int(scaled.pixel(x, y) >> shift & 0xff);
          worst = std::max(worst, int(std::lround(std::abs(got - Expected(source, c.target, x, y, shift)))));
        }
    EXPECT_LE(worst, 2);
  }
}

TEST(SmoothScale, OtherFormatsAndEmptySizesGiveNoImage) {
  EXPECT_TRUE(SmoothScaled(QImage(10, 10, QImage::Format_Mono), {5, 5}).isNull());
  EXPECT_TRUE(SmoothScaled(QImage(10, 10, QImage::Format_RGB555), {5, 5}).isNull());
  EXPECT_TRUE(SmoothScaled(QImage(), {5, 5}).isNull());
  EXPECT_TRUE(SmoothScaled(Pattern({10, 10}, QImage::Format_BGR888), {0, 5}).isNull());
}

}  // namespace
}  // namespace velk
