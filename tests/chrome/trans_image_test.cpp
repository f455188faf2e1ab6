#include "chrome/trans_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include <QWidget>

namespace velk {
namespace {

constexpr TColor kCut = 0x00FFFBF0;  // the main window's transparent colour

// A bitmap from rows of characters: '#' solid (red), '.' the transparent colour.
Bitmap FromRows(const std::vector<std::string>& rows, int bits = 24) {
  Bitmap bitmap(int(rows[0].size()), int(rows.size()), 24);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      const bool cut = rows[size_t(y)][size_t(x)] == '.';
      p[0] = cut ? 0xFF : 0;  // blue, green, red of 0x00FFFBF0
      p[1] = cut ? 0xFB : 0;
      p[2] = cut ? 0xF0 : 0xFF;
    }
  if (bits == 32) {
    Bitmap wide(bitmap.Width(), bitmap.Height(), 32);
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        for (int c = 0; c < 3; ++c) wide.ScanLine(y)[4 * x + c] = bitmap.ScanLine(y)[3 * x + c];
    return wide;
  }
  return bitmap;
}

TEST(ShapeRegion, RunsOfSolidPixelsPerRow) {
  const Bitmap bitmap = FromRows({"##..#", "#####", ".....", ".#.#."});
  const std::vector<QRect> runs = ShapeRuns(bitmap, kCut);
  const std::vector<QRect> expected = {QRect(0, 0, 2, 1), QRect(4, 0, 1, 1), QRect(0, 1, 5, 1),
                                       QRect(1, 3, 1, 1), QRect(3, 3, 1, 1)};
  EXPECT_EQ(runs, expected);  // the run touching the right edge ends at the width
  EXPECT_EQ(ShapeRuns(FromRows({"##..#"}, 32), kCut), std::vector<QRect>(runs.begin(), runs.begin() + 2));

  const QRegion region = *BuildShapeRegion(bitmap, kCut);
  EXPECT_TRUE(region.contains(QPoint(4, 0)));
  EXPECT_FALSE(region.contains(QPoint(2, 0)));
  EXPECT_FALSE(region.contains(QPoint(0, 2)));
  EXPECT_TRUE(BuildShapeRegion(FromRows({"...", "..."}), kCut)->isEmpty());
  EXPECT_TRUE(BuildShapeRegion(FromRows({"###", "###"}), kCut)->xored(QRegion(0, 0, 3, 2)).isEmpty());
  EXPECT_FALSE(BuildShapeRegion(Bitmap(), kCut).has_value());
}

TEST(ShapeRegion, BatchesGiveTheSameRegionAsOneCall) {
  // A checkerboard of 100 x 100 has 5000 runs: three batches.
  std::vector<std::string> rows(100, std::string(100, '.'));
  for (int y = 0; y < 100; ++y)
    for (int x = (y % 2); x < 100; x += 2) rows[size_t(y)][size_t(x)] = '#';
  const Bitmap bitmap = FromRows(rows);
  const std::vector<QRect> runs = ShapeRuns(bitmap, kCut);
  ASSERT_EQ(runs.size(), 5000u);
  QRegion once;
  once.setRects(runs.data(), int(runs.size()));
  EXPECT_EQ(*BuildShapeRegion(bitmap, kCut), once);
}

TEST(ShapeRegion, SystemColoursMatchByTheirCurrentValue) {
  InstallSystemColorResolver([](int) { return TColor(0x00FFFBF0); });
  EXPECT_TRUE(BuildShapeRegion(FromRows({"..."}), clBtnFace)->isEmpty());
  InstallSystemColorResolver(nullptr);
}

TEST(TransImage, ApplyShapeMasksAndSizesItsWindow) {
  QWidget form;
  form.resize(300, 200);
  auto* image = new TTransImage(&form);
  EXPECT_EQ(image->TransColor(), clWhite);
  EXPECT_TRUE(image->AdjustFormSize());
  image->GetPicture().SetBitmap(FromRows({"..##", "####", "##.."}));
  image->SetTransColor(kCut);
  image->ApplyShape();
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.size(), QSize(4, 3));
  EXPECT_EQ(image->geometry(), QRect(0, 0, 4, 3));
  EXPECT_EQ(form.mask(), *BuildShapeRegion(image->GetPicture().Bitmap(), kCut));

  // Without AdjustFormSize the size stays; without a picture the window is rectangular again.
  QWidget other;
  other.resize(50, 40);
  auto* plain = new TTransImage(&other);
  plain->SetAdjustFormSize(false);
  plain->GetPicture().SetBitmap(FromRows({"#."}));
  plain->ApplyShape();
  EXPECT_EQ(other.size(), QSize(50, 40));
  EXPECT_TRUE(other.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(other.mask().isEmpty());
  plain->GetPicture().Clear();
  plain->ApplyShape();
  EXPECT_TRUE(other.mask().isEmpty());
}

}  // namespace
}  // namespace velk

namespace velk {
namespace {

// The region against a pixel-by-pixel check on random pictures, some with over 2000 runs.
TEST(ShapeRegion, MatchesEveryPixelOfRandomPictures) {
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (const QSize size : {QSize(1, 1), QSize(7, 3), QSize(64, 64), QSize(130, 90)}) {
    Bitmap bitmap(size.width(), size.height(), 24);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) {
        uint8_t* p = bitmap.ScanLine(y) + 3 * x;
        const bool cut = (next() >> 16) % 3 == 0;
        p[0] = cut ? 0xFF : uint8_t(next() >> 24);
        p[1] = cut ? 0xFB : 0x10;
        p[2] = cut ? 0xF0 : 0x20;
      }
    const QRegion region = *BuildShapeRegion(bitmap, kCut);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) {
        const bool cut = bitmap.ScanLine(y)[3 * x + 1] == 0xFB;
        ASSERT_EQ(region.contains(QPoint(x, y)), !cut) << x << "," << y;
      }
    EXPECT_FALSE(region.contains(QPoint(size.width(), 0)));
    EXPECT_FALSE(region.contains(QPoint(0, size.height())));
  }
}

// Long stretches of each kind, and solid pixels that nearly match: the transparent colour's
// bytes in other places of a pixel or across two pixels.
TEST(ShapeRegion, MatchesEveryPixelOfStretchesAndNearMisses) {
  const uint8_t kinds[][3] = {{0xFF, 0xFB, 0xF0},   // the transparent colour (kCut)
                              {0xFF, 0xFB, 0xF1}, {0xFF, 0x00, 0xF0}, {0x00, 0xFF, 0xFB},
                              {0xF0, 0xFF, 0xFB}, {0xFB, 0xF0, 0xFF}, {0x12, 0x34, 0x56}};
  uint32_t seed = 777;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (const QSize size : {QSize(3, 40), QSize(8, 40), QSize(61, 50), QSize(333, 20)}) {
    Bitmap bitmap(size.width(), size.height(), 24);
    std::vector<bool> cut;
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width();) {
        const uint8_t* kind = kinds[next() % 2 ? 0 : next() % 7];
        for (int n = 1 + int(next() % 40); n > 0 && x < size.width(); --n, ++x) {
          std::memcpy(bitmap.ScanLine(y) + 3 * x, kind, 3);
          cut.push_back(kind == kinds[0]);
        }
      }
    const QRegion region = *BuildShapeRegion(bitmap, kCut);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x)
        ASSERT_EQ(region.contains(QPoint(x, y)), !cut[size_t(y * size.width() + x)])
            << size.width() << ": " << x << "," << y;
  }
}

}  // namespace
}  // namespace velk
