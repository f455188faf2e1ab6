// Our BMP reader and writer beside Qt's on the same 12-megapixel 24-bit picture, in memory.
#include <benchmark/benchmark.h>

#include <QBuffer>
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

void BM_VelkWriteBmp(benchmark::State& state) {
  const velk::Bitmap bitmap = velk::ReadBmp(PhotoSizedBmp());
  for (auto _ : state) {
    std::vector<uint8_t> bytes = velk::WriteBmp(bitmap);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(PhotoSizedBmp().size()));
}
BENCHMARK(BM_VelkWriteBmp)->Unit(benchmark::kMillisecond);

// Qt writes the picture it has: the 24-bit image its own reader made of the same file.
void BM_QtSaveBmp(benchmark::State& state) {
  QImage image;
  image.loadFromData(PhotoSizedBmp().data(), int(PhotoSizedBmp().size()), "BMP");
  for (auto _ : state) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) {
      state.SkipWithError("Qt could not write the file");
      break;
    }
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(PhotoSizedBmp().size()));
}
BENCHMARK(BM_QtSaveBmp)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
