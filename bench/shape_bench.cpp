// The window-shape builder beside Qt's own mask-to-region path on the same pictures.
#include <benchmark/benchmark.h>

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>

#include "chrome/trans_image.h"
#include "platform/qimage_view.h"

namespace {

constexpr velk::TColor kSilver = 0x00C0C0C0;

// A skin-like picture: a solid body with a cut-out border and round holes.
QImage Picture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(40, 44, 58));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int dx = x % 97 - 48, dy = y % 89 - 44;
      const bool edge = x < 12 - std::min(y, 12) || y < 3 || x > width - 4;
      if (edge || dx * dx + dy * dy < 200) image.setPixel(x, y, 0xFFC0C0C0);
    }
  return image;
}

void Ours(benchmark::State& state) {
  const velk::Bitmap bitmap = velk::BitmapFromQImage(Picture(int(state.range(0)), int(state.range(1))));
  for (auto _ : state) benchmark::DoNotOptimize(velk::BuildShapeRegion(bitmap, kSilver));
}

void QtMask(benchmark::State& state) {
  const QImage image = Picture(int(state.range(0)), int(state.range(1)));
  for (auto _ : state) {
    const QBitmap mask = QBitmap::fromImage(image.createMaskFromColor(0xFFC0C0C0, Qt::MaskOutColor));
    benchmark::DoNotOptimize(QRegion(mask));
  }
}

BENCHMARK(Ours)->Args({770, 542})->Args({4000, 4000})->Unit(benchmark::kMillisecond);
BENCHMARK(QtMask)->Args({770, 542})->Args({4000, 4000})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // QBitmap needs one
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
