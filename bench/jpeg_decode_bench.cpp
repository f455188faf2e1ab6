// DecodeJpeg in each option mode beside a plain libjpeg decode of the same bytes with the same
// libjpeg settings into a buffer. At the end the velk/peer time ratio of each mode is printed.
// Wall-clock times: a large true-colour picture is decoded in bands on every core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "image/jpeg_codec.h"
#include "photo_jpeg.h"

namespace {

using velk::JpegDecodeOptions;
using velk::TDCTMethod;
using velk::TDither;
using velk::TNumOfColors;

// A 4000 x 3000 photo-like JPEG, made once.
const std::vector<uint8_t>& PhotoJpeg() {
  static const std::vector<uint8_t> bytes = PhotoLikeJpeg(4000, 3000, 0);
  return bytes;
}

// The libjpeg fields each mode sets, for the peer.
struct LibjpegSettings {
  int colors = 0;  // 0: no quantization
  bool twoPass = true;
  J_DITHER_MODE dither = JDITHER_FS;
  J_DCT_METHOD dct = JDCT_ISLOW;
  bool fancy = true;
  bool grey = false;
};
struct Mode {
  const char* name;
  JpegDecodeOptions options;
  LibjpegSettings peer;
};
constexpr auto kTrue = TNumOfColors::TrueColor;
const Mode kModes[] = {
    {"TrueColor", {.numOfColors = kTrue}, {}},
    {"256TwoPassFS", {.numOfColors = TNumOfColors::_256}, {.colors = 256}},
    {"256OnePass",
     {.numOfColors = TNumOfColors::_256, .onePass = true},
     {.colors = 256, .twoPass = false}},
    {"16Ordered",
     {.numOfColors = TNumOfColors::_16, .dither = TDither::Ordered, .onePass = true},
     {.colors = 16, .twoPass = false, .dither = JDITHER_ORDERED}},
    {"GreyScale", {.numOfColors = kTrue, .grayScale = true}, {.grey = true}},
    {"Fast",
     {.numOfColors = kTrue, .fastProcessing = true},
     {.twoPass = false, .dither = JDITHER_ORDERED, .dct = JDCT_IFAST, .fancy = false}},
    {"Fast256",
     {.numOfColors = TNumOfColors::_256, .fastProcessing = true},
     {.colors = 256, .twoPass = false, .dither = JDITHER_ORDERED, .dct = JDCT_IFAST,
      .fancy = false}},
    {"DctFast", {.numOfColors = kTrue, .dctMethod = TDCTMethod::FastInteg}, {.dct = JDCT_IFAST}},
    {"DctFloat",
     {.numOfColors = kTrue, .dctMethod = TDCTMethod::FloatingPoint},
     {.dct = JDCT_FLOAT}},
    {"NoSmooth", {.numOfColors = kTrue, .noSmooth = true}, {.fancy = false}},
};

// libjpeg alone: same settings, all rows into one freshly allocated buffer. The input is known
// good, so libjpeg's standard error handling (exit) will do.
void PeerDecode(const std::vector<uint8_t>& jpeg, const Mode& mode) {
  jpeg_decompress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, jpeg.data(), jpeg.size());
  jpeg_read_header(&c, TRUE);
  const LibjpegSettings& s = mode.peer;
  c.quantize_colors = s.colors != 0;
  if (s.colors) c.desired_number_of_colors = s.colors;
  c.two_pass_quantize = s.twoPass;
  c.dither_mode = s.dither;
  c.dct_method = s.dct;
  c.do_fancy_upsampling = s.fancy;
  if (s.grey) c.out_color_space = JCS_GRAYSCALE;
  jpeg_start_decompress(&c);
  const size_t stride = size_t(c.output_width) * c.output_components;
  std::unique_ptr<JSAMPLE[]> pixels(new JSAMPLE[stride * c.output_height]);
  std::vector<JSAMPROW> rows(c.output_height);
  for (JDIMENSION y = 0; y < c.output_height; ++y) rows[y] = pixels.get() + y * stride;
  while (c.output_scanline < c.output_height)
    jpeg_read_scanlines(&c, rows.data() + c.output_scanline, c.output_height - c.output_scanline);
  benchmark::DoNotOptimize(pixels.get());
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
}

void Velk(benchmark::State& state, const Mode* mode) {
  const auto& jpeg = PhotoJpeg();
  for (auto _ : state) {
    velk::Bitmap bitmap = velk::DecodeJpeg(jpeg.data(), jpeg.size(), mode->options);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
}

void Peer(benchmark::State& state, const Mode* mode) {
  const auto& jpeg = PhotoJpeg();
  for (auto _ : state) PeerDecode(jpeg, *mode);
}

// Prints as usual, then velk / peer CPU time for each mode, from the fastest repetition of
// each (run with --benchmark_repetitions and --benchmark_enable_random_interleaving).
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      double& best = best_[run.run_name.function_name];
      const double t = run.GetAdjustedRealTime();
      if (best == 0 || t < best) best = t;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::cout << "\nvelk / libjpeg wall-clock time (fastest run of each)\n";
    for (const Mode& mode : kModes) {
      const double velk = best_[std::string("Velk/") + mode.name];
      const double peer = best_[std::string("Peer/") + mode.name];
      if (velk > 0 && peer > 0) std::printf("  %-14s %.3f\n", mode.name, velk / peer);
    }
  }

private:
  std::map<std::string, double> best_;
};

}  // namespace

int main(int argc, char** argv) {
  PhotoJpeg();
  for (const Mode& mode : kModes) {
    benchmark::RegisterBenchmark((std::string("Velk/") + mode.name).c_str(), Velk, &mode)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark((std::string("Peer/") + mode.name).c_str(), Peer, &mode)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
