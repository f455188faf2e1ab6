// The window shape on a real X server: what is cut out shows the window beneath.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "chrome/trans_image.h"

namespace velk {
namespace {

// 80 x 60: the left half silver (cut out), the right half red.
Bitmap HalfCut() {
  Bitmap bitmap(80, 60, 24);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      if (x < 40) p[0] = p[1] = p[2] = 0xC0;
      else p[2] = 0xFF;
    }
  return bitmap;
}

TEST(TransImageOnX11, CutOutPixelsShowWhatIsBeneath) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server and QT_QPA_PLATFORM=xcb";
  QWidget beneath;
  beneath.setWindowFlag(Qt::FramelessWindowHint);
  beneath.setGeometry(0, 0, 400, 300);
  QPalette green;
  green.setColor(QPalette::Window, Qt::green);
  beneath.setPalette(green);
  beneath.setAutoFillBackground(true);
  beneath.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&beneath));

  QWidget form;
  form.setWindowFlag(Qt::WindowStaysOnTopHint);
  auto* skin = new TTransImage(&form);
  skin->GetPicture().SetBitmap(HalfCut());
  skin->SetTransColor(0x00C0C0C0);
  skin->ApplyShape();
  form.move(100, 100);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.size(), QSize(80, 60));
  QTest::qWait(300);  // let the server apply the shape and repaint beneath

  const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
  const QPoint origin = form.geometry().topLeft();
  EXPECT_EQ(screen.pixelColor(origin + QPoint(10, 30)), QColor(Qt::green));  // cut out
  EXPECT_EQ(screen.pixelColor(origin + QPoint(60, 30)), QColor(Qt::red));    // the window
}

}  // namespace
}  // namespace velk
