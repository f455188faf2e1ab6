// Our TIFF reader and writer beside libtiff on the same 12-megapixel files, so results read as
// ratios. Reading: ours builds the bitmap (B,G,R rows padded to 4) while libtiff only fills a
// buffer with the strips. Writing: both produce an uncompressed file in memory; libtiff is
// handed its R,G,B rows ready-made, ours turns the bitmap's B,G,R rows around itself.
#include <benchmark/benchmark.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "image/tiff_reader.h"
#include "image/tiff_writer.h"
#include "platform/dialogs.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

velk::Bitmap Photo(int bits) {
  velk::Bitmap bitmap(kWidth, kHeight, bits);
  for (size_t i = 0; i < bitmap.Palette().size(); ++i)
    bitmap.Palette()[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (size_t x = 0; x < bitmap.Stride(); ++x) row[x] = uint8_t(x * 7 + y / 16);
  }
  return bitmap;
}

// The pixels as libtiff wants them: R,G,B rows, or palette indexes, without padding.
std::vector<uint8_t> StoredRows(const velk::Bitmap& bitmap) {
  const size_t rowBytes = size_t(bitmap.Width()) * bitmap.BitsPerPixel() / 8;
  std::vector<uint8_t> rows(rowBytes * bitmap.Height());
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* out = &rows[rowBytes * y];
    std::memcpy(out, bitmap.ScanLine(y), rowBytes);
    if (bitmap.BitsPerPixel() == 24)
      for (size_t x = 0; x < rowBytes; x += 3) std::swap(out[x], out[x + 2]);
  }
  return rows;
}

// A growing in-memory file for TIFFClientOpen.
struct MemoryFile {
  std::vector<uint8_t> bytes;
  toff_t at = 0;
};
tsize_t MemRead(thandle_t, tdata_t, tsize_t) { return 0; }
tsize_t MemWrite(thandle_t h, tdata_t data, tsize_t size) {
  auto* f = static_cast<MemoryFile*>(h);
  if (f->at + size > f->bytes.size()) f->bytes.resize(f->at + size);
  std::memcpy(f->bytes.data() + f->at, data, size_t(size));
  f->at += toff_t(size);
  return size;
}
toff_t MemSeek(thandle_t h, toff_t offset, int whence) {
  auto* f = static_cast<MemoryFile*>(h);
  f->at = whence == SEEK_SET   ? offset
          : whence == SEEK_CUR ? f->at + offset
                               : f->bytes.size() + offset;
  return f->at;
}
int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return static_cast<MemoryFile*>(h)->bytes.size(); }
int MemMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void MemUnmap(thandle_t, tdata_t, toff_t) {}

// Writes with libtiff; rowsPerStrip 0 gives libtiff's default strip size.
void LibtiffWrite(TIFF* tif, const velk::Bitmap& bitmap, const std::vector<uint8_t>& rows,
                  uint32_t rowsPerStrip) {
  const bool rgb = bitmap.BitsPerPixel() == 24;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(kWidth));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(kHeight));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, rgb ? 3 : 1);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, rgb ? PHOTOMETRIC_RGB : PHOTOMETRIC_PALETTE);
  if (!rgb) {
    std::vector<uint16_t> map(768);
    for (int i = 0; i < 256; ++i) {
      map[i] = uint16_t(bitmap.Palette()[i].red * 256);
      map[256 + i] = uint16_t(bitmap.Palette()[i].green * 256);
      map[512 + i] = uint16_t(bitmap.Palette()[i].blue * 256);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + 256, map.data() + 512);
  }
  const uint32_t rps = rowsPerStrip ? rowsPerStrip : TIFFDefaultStripSize(tif, 0);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rps);
  const size_t rowBytes = rows.size() / kHeight;
  for (uint32_t y = 0, strip = 0; y < uint32_t(kHeight); y += rps, ++strip) {
    const uint32_t n = std::min<uint32_t>(rps, kHeight - y);
    TIFFWriteEncodedStrip(tif, strip, const_cast<uint8_t*>(&rows[y * rowBytes]),
                          tmsize_t(n * rowBytes));
  }
}

// One file per depth, written by libtiff with its default strips, read by both readers.
const std::string& FileFor(int bits) {
  static std::string files[2];
  std::string& path = files[bits == 24];
  if (path.empty()) {
    path = "/tmp/velk-tiff-bench-" + std::to_string(getpid()) + "-" + std::to_string(bits) + ".tif";
    const velk::Bitmap bitmap = Photo(bits);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    LibtiffWrite(tif, bitmap, StoredRows(bitmap), 0);
    TIFFClose(tif);
  }
  return path;
}

void VelkRead(benchmark::State& state, int bits) {
  const std::string& path = FileFor(bits);
  velk::ScopedScriptedDialogs dialogs;
  for (auto _ : state) {
    velk::Bitmap bitmap;
    if (!velk::LoadTiffIntoBitmap(path, bitmap)) {
      state.SkipWithError("our reader refused the file");
      break;
    }
    benchmark::DoNotOptimize(bitmap.Bits());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * bits / 8);
}

void LibtiffRead(benchmark::State& state, int bits) {
  const std::string& path = FileFor(bits);
  for (auto _ : state) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    const tmsize_t stripSize = TIFFStripSize(tif);
    const uint32_t strips = TIFFNumberOfStrips(tif);
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[size_t(stripSize) * strips]);
    tmsize_t at = 0;
    for (uint32_t s = 0; s < strips; ++s) at += TIFFReadEncodedStrip(tif, s, buffer.get() + at, -1);
    TIFFClose(tif);
    benchmark::DoNotOptimize(buffer.get());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * bits / 8);
}

void VelkWrite(benchmark::State& state, int bits) {
  const velk::Bitmap bitmap = Photo(bits);
  for (auto _ : state) {
    std::vector<uint8_t> file = velk::WriteBitmapAsTiff(bitmap);
    benchmark::DoNotOptimize(file.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * bits / 8);
}

void LibtiffWrite(benchmark::State& state, int bits) {
  const velk::Bitmap bitmap = Photo(bits);
  const std::vector<uint8_t> rows = StoredRows(bitmap);
  for (auto _ : state) {
    MemoryFile file;
    TIFF* tif = TIFFClientOpen("memory", "w", &file, MemRead, MemWrite, MemSeek, MemClose, MemSize,
                               MemMap, MemUnmap);
    LibtiffWrite(tif, bitmap, rows, kHeight);  // one strip, as ours writes
    TIFFClose(tif);
    benchmark::DoNotOptimize(file.bytes.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * bits / 8);
}

BENCHMARK_CAPTURE(VelkRead, rgb24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibtiffRead, rgb24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(VelkRead, palette8, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibtiffRead, palette8, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(VelkWrite, rgb24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibtiffWrite, rgb24, 24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(VelkWrite, palette8, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibtiffWrite, palette8, 8)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  for (int bits : {8, 24}) ::unlink(FileFor(bits).c_str());
  benchmark::Shutdown();
  return 0;
}
