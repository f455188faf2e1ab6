// The loupe against a real X server: a window with a known pattern is shown, the pointer is
// moved onto it, and the loupe's pixels are compared with the pattern.
#include <gtest/gtest.h>

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include "image/loupe.h"
#include "image/loupe_form.h"

namespace velk {
namespace {

constexpr QPoint kPatternAt(40, 40);
constexpr int kPatternSide = 256;
constexpr QPoint kPointer = kPatternAt + QPoint(128, 128);

// Every pixel tells where it is: red = x, green = y within the pattern.
QRgb PatternPixel(int x, int y) { return qRgb(x, y, 128); }

class PatternWindow : public QWidget {
public:
  PatternWindow() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(QRect(kPatternAt, QSize(kPatternSide, kPatternSide)));
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QImage image(kPatternSide, kPatternSide, QImage::Format_RGB32);
    for (int y = 0; y < kPatternSide; ++y)
      for (int x = 0; x < kPatternSide; ++x) image.setPixel(x, y, PatternPixel(x, y));
    QPainter(this).drawImage(0, 0, image);
  }
};

class LoupeX11 : public ::testing::Test {
protected:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("DISPLAY") || QGuiApplication::platformName() != "xcb")
      GTEST_SKIP() << "needs an X server (DISPLAY) and QT_QPA_PLATFORM=xcb";
    pattern_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pattern_));
    form_.move(700, 500);
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
    QCursor::setPos(kPointer);
    QTest::qWait(200);  // the server paints the pattern and moves the pointer
    ASSERT_EQ(QCursor::pos(), kPointer);
    form_.FindItem("S6")->trigger();  // ticks only when a test asks for one
  }

  PatternWindow pattern_;
  TLoupeform form_;
};

TEST_F(LoupeX11, AtZoomOneTheCaptureIsTheScreenAroundThePointerPixelForPixel) {
  Tloupe* loupe = form_.loupe();
  loupe->Capture();
  const QImage& capture = loupe->CaptureImage();
  ASSERT_EQ(capture.size(), QSize(107, 162));
  // Centred with truncated halves: 53 columns and 81 rows before the pointer.
  const QPoint origin = QPoint(128 - 53, 128 - 81);
  for (int y = 0; y < capture.height(); ++y)
    for (int x = 0; x < capture.width(); ++x)
      ASSERT_EQ(capture.pixel(x, y), PatternPixel(origin.x() + x, origin.y() + y)) << x << "," << y;
  // Copied without enlargement; the bevels cover only the two outer rings.
  const QImage& shown = loupe->OffscreenImage();
  for (int y = 2; y < 160; y += 7)
    for (int x = 2; x < 105; x += 5) ASSERT_EQ(shown.pixel(x, y), capture.pixel(x, y));
}

TEST_F(LoupeX11, AtZoomTwoEverySourcePixelIsRepeated) {
  form_.FindItem("N2001")->trigger();
  Tloupe* loupe = form_.loupe();
  loupe->Capture();
  ASSERT_EQ(loupe->CaptureImage().size(), QSize(54, 81));
  const QPoint origin = QPoint(128 - 27, 128 - 40);
  const QImage& shown = loupe->OffscreenImage();
  // Along a row inside the bevels, the columns step through the source without gaps.
  std::vector<int> seen;
  for (int x = 2; x < 105; ++x) {
    const int column = qRed(shown.pixel(x, 80)) - origin.x();
    EXPECT_NEAR(column, x * 54 / 107, 1) << x;
    if (seen.empty() || seen.back() != column) seen.push_back(column);
  }
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i], seen[i - 1] + 1);
  for (int y = 2; y < 160; ++y) EXPECT_NEAR(qGreen(shown.pixel(50, y)) - origin.y(), y * 81 / 162, 1);
}

TEST_F(LoupeX11, ASpeedChoiceCapturesOnTheTimer) {
  form_.FindItem("N4001")->trigger();
  form_.FindItem("S1")->trigger();
  Tloupe* loupe = form_.loupe();
  const QPoint origin = QPoint(128 - 13, 128 - 20);
  const QImage& capture = loupe->CaptureImage();
  ASSERT_TRUE(QTest::qWaitFor([&] { return capture.pixel(0, 0) == PatternPixel(origin.x(), origin.y()); }, 2000));
  // The timer follows the pointer.
  QCursor::setPos(kPointer + QPoint(10, 5));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return loupe->CaptureImage().pixel(0, 0) == PatternPixel(origin.x() + 10, origin.y() + 5); },
      2000));
}

}  // namespace
}  // namespace velk
