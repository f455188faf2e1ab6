// Our BMP reader beside Qt's on the same 12-megapixel 24-bit file, held in memory.
#include <benchmark/benchmark.h>

#include <QImage>

#include "platform/bmp_codec.h"

namespace {

// A 4000 x 3000 gradient written by our own writer (24 bits, bottom-up BI_RGB).
const std::vector<uint8_t>& PhotoSizedBmp() {
  static const std::vector<uint8_t> bytes = [] {
    velk::Bitmap bitmap(4000, 3000, 24);
    for (int y = 0; y < bitmap.Height(); ++y) {
      uint8_t* row = bitmap.ScanLine(y);
      for (int x = 0; x < bitmap.Width(); ++x, row += 3) {
        row[0] = uint8_t(x * 255 / bitmap.Width());
        row[1] = uint8_t(y * 255 / bitmap.Height());
        row[2] = uint8_t((x + y) / 32);
      }
    }
    return velk::WriteBmp(bitmap);
  }();
  return bytes;
}

void BM_VelkReadBmp(benchmark::State& state) {
  const auto& bytes = PhotoSizedBmp();
  for (auto _ : state) {
    velk::Bitmap bitmap = velk::ReadBmp(bytes);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_VelkReadBmp)->Unit(benchmark::kMillisecond);

void BM_QtLoadBmp(benchmark::State& state) {
  const auto& bytes = PhotoSizedBmp();
  for (auto _ : state) {
    QImage image;
    if (!image.loadFromData(bytes.data(), int(bytes.size()), "BMP")) {
      state.SkipWithError("Qt could not read the file");
      break;
    }
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_QtLoadBmp)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
