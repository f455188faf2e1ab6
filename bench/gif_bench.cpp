// GIF decoding and encoding beside giflib in the same binary, so the results read as ratios;
// and the processor time an animation takes while it plays.
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "gif/gif_image.h"
#include "gif/gif_image_data.h"

namespace {

using velk::GIFImageData;

// A photo-like 8-bit picture: smooth shapes with a little noise.
std::vector<uint8_t> Picture(int width, int height, int phase) {
  std::vector<uint8_t> pixels(size_t(width) * size_t(height));
  std::mt19937 random(uint32_t(phase) + 1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double v =
          96 + 60 * std::sin((x + phase * 7) / 37.0) + 50 * std::cos((y - phase * 3) / 23.0);
      pixels[size_t(y) * size_t(width) + size_t(x)] = uint8_t(int(v + random() % 4) & 0xFF);
    }
  return pixels;
}

GIFImageData Gif(int width, int height, int frames) {
  GIFImageData gif;
  gif.MutableHeader().width = uint16_t(width);
  gif.MutableHeader().height = uint16_t(height);
  for (int i = 0; i < 256; ++i)
    gif.MutableHeader().colorMap.Add({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  for (int f = 0; f < frames; ++f) {
    velk::TGIFSubImage& frame = gif.AddImage();
    frame.SetBounds(0, 0, width, height);
    const std::vector<uint8_t> pixels = Picture(width, height, f);
    std::memcpy(frame.MutableData().data(), pixels.data(), pixels.size());
    if (frames > 1) {
      auto control = std::make_unique<velk::TGIFGraphicControlExtension>();
      control->delay = 4;  // 48 ms a frame: about 20 frames a second
      frame.AddExtension(std::move(control));
    }
  }
  if (frames > 1) {
    auto loop = std::make_unique<velk::TGIFAppExtNSLoop>();
    loop->loops = 0;
    gif.MutableImage(0).AddExtension(std::move(loop));
  }
  return gif;
}

const std::vector<uint8_t>& LargeFile() {
  static const std::vector<uint8_t> bytes = Gif(2000, 2000, 1).SaveToBytes();
  return bytes;
}
const std::vector<uint8_t>& AnimationFile() {
  static const std::vector<uint8_t> bytes = Gif(300, 200, 100).SaveToBytes();
  return bytes;
}

// giflib reads from memory through its input function.
struct Source {
  const std::vector<uint8_t>* bytes;
  size_t at = 0;
};
int ReadFromMemory(GifFileType* file, GifByteType* out, int count) {
  auto* source = static_cast<Source*>(file->UserData);
  const size_t n = std::min(size_t(count), source->bytes->size() - source->at);
  std::memcpy(out, source->bytes->data() + source->at, n);
  source->at += n;
  return int(n);
}

void GiflibSlurp(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  for (auto _ : state) {
    Source source{&bytes};
    int error = 0;
    GifFileType* file = DGifOpen(&source, ReadFromMemory, &error);
    if (!file || DGifSlurp(file) != GIF_OK) state.SkipWithError("giflib could not read the file");
    benchmark::DoNotOptimize(file->SavedImages[0].RasterBits[0]);
    DGifCloseFile(file, &error);
  }
  state.SetBytesProcessed(int64_t(state.iterations() * bytes.size()));
}

void VelkLoad(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  for (auto _ : state) {
    GIFImageData gif;
    gif.LoadFromMemory(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(gif.Images()[0].Data()[0]);
  }
  state.SetBytesProcessed(int64_t(state.iterations() * bytes.size()));
}

void BM_Decode2000x2000_Giflib(benchmark::State& state) { GiflibSlurp(state, LargeFile()); }
void BM_Decode2000x2000_Velk(benchmark::State& state) { VelkLoad(state, LargeFile()); }
void BM_Decode100Frames_Giflib(benchmark::State& state) { GiflibSlurp(state, AnimationFile()); }
void BM_Decode100Frames_Velk(benchmark::State& state) { VelkLoad(state, AnimationFile()); }
BENCHMARK(BM_Decode2000x2000_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode2000x2000_Velk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode100Frames_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode100Frames_Velk)->Unit(benchmark::kMillisecond);

// Encoding an 8-bit 2000 x 2000 bitmap with its 256-colour palette.
const velk::Bitmap& EightBitBitmap() {
  static const velk::Bitmap bitmap = [] {
    velk::Bitmap b(2000, 2000, 8);
    const std::vector<uint8_t> pixels = Picture(2000, 2000, 0);
    for (int y = 0; y < 2000; ++y)
      std::memcpy(b.ScanLine(y), pixels.data() + size_t(y) * 2000, 2000);
    for (int i = 0; i < 256; ++i)
      b.Palette()[size_t(i)] = velk::RGBQuad{uint8_t(i / 2), uint8_t(255 - i), uint8_t(i), 0};
    return b;
  }();
  return bitmap;
}

int WriteToMemory(GifFileType* file, const GifByteType* data, int count) {
  auto* out = static_cast<std::vector<uint8_t>*>(file->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

void BM_Encode2000x2000_Giflib(benchmark::State& state) {
  const velk::Bitmap& bitmap = EightBitBitmap();
  size_t size = 0;
  for (auto _ : state) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* file = EGifOpen(&out, WriteToMemory, &error);
    ColorMapObject* colors = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i) {
      const velk::RGBQuad c = bitmap.Palette()[size_t(i)];
      colors->Colors[i] = GifColorType{c.red, c.green, c.blue};
    }
    EGifPutScreenDesc(file, 2000, 2000, 8, 0, nullptr);
    EGifPutImageDesc(file, 0, 0, 2000, 2000, false, colors);
    for (int y = 0; y < 2000; ++y)
      EGifPutLine(file, const_cast<GifPixelType*>(bitmap.ScanLine(y)), 2000);
    EGifCloseFile(file, &error);
    GifFreeMapObject(colors);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes_out"] = double(size);
}

void BM_Encode2000x2000_Velk(benchmark::State& state) {
  const velk::Bitmap& bitmap = EightBitBitmap();
  size_t size = 0;
  for (auto _ : state) {
    GIFImageData gif;
    gif.Assign(bitmap);
    const std::vector<uint8_t> out = gif.SaveToBytes();
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes_out"] = double(size);
}
BENCHMARK(BM_Encode2000x2000_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode2000x2000_Velk)->Unit(benchmark::kMillisecond);

// A window showing a 500 x 500 animation at about 20 frames a second: processor time of the
// whole process (painter thread and user-interface thread) over wall time while it plays.
class View : public QWidget {
public:
  explicit View(const velk::TGIFImage& image) : image_(image) {}
  int paints = 0;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    image_.Draw(painter, rect());
    ++paints;
  }

private:
  const velk::TGIFImage& image_;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_Play500x500At20fps(benchmark::State& state) {
  velk::TGIFImage image;
  image.Modify([](GIFImageData& data) { data = Gif(500, 500, 20); });
  View view(image);
  image.OnChange = [&view] { view.update(); };
  view.resize(500, 500);
  view.show();
  int frames = 0;
  image.OnPaint = [&frames](const velk::TGIFImage&) { ++frames; };
  for (auto _ : state) {
    QEventLoop settle;  // the first Draw starts the painter
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    const int startFrames = frames, startPaints = view.paints;
    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(int(state.range(0)) * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    state.SetIterationTime(seconds);
    state.counters["cpu_percent_of_one_core"] = 100 * (CpuSeconds() - cpuStart) / seconds;
    state.counters["frames_per_second"] = (frames - startFrames) / seconds;
    state.counters["window_paints_per_second"] = (view.paints - startPaints) / seconds;
  }
  image.StopPainters();
}
BENCHMARK(BM_Play500x500At20fps)->Arg(5)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
