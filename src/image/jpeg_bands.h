#pragma once
// The lower rows of a large picture decoded on other threads while the caller decodes the top.
// libjpeg cannot split one decode, so each band's thread reads the file with a decoder of its
// own, skips the rows above its band (for a single-scan file that is only the entropy
// decoding, a fraction of the work) and decodes its rows into the shared bitmap, turned there
// when the picture is. The bands are sized so that skipping and decoding end together.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "image/decoded_rows.h"
#include "image/jpeg_errors.h"

namespace velk {

// Reads `count` rows into `rows`, fewer only where libjpeg gives no more (the data ended):
// libjpeg hands out at most one row group per call.
JDIMENSION ReadRowBatch(jpeg_decompress_struct& c, JSAMPARRAY rows, JDIMENSION count);

class JpegBands {
public:
  // Sets up a band's decoder as the caller's was: before its header is read, and after.
  struct SetUp {
    std::function<void(jpeg_decompress_struct&)> beforeHeader, afterHeader;
  };

  // Starts the threads for the rows below the caller's band, or returns nothing when the
  // picture is too small or not of a kind that can be split (see Splittable). `caller` is the
  // caller's decoder, started and at its first row; `rows` (where rows go) must stay until
  // the end.
  // At most `threads` bands, the caller's included.
  static std::unique_ptr<JpegBands> Start(const uint8_t* data, size_t size,
                                          const jpeg_decompress_struct& caller,
                                          const DecodedRows& rows, const SetUp& setUp,
                                          int threads);
  // Stops the threads that still run and waits for them.
  ~JpegBands();

  // The end of the caller's band: the first row the threads decode.
  int CallerEnd() const { return callerEnd_; }
  // Rows the threads have put into the bitmap so far.
  int RowsDone() const { return rowsDone_.load(std::memory_order_relaxed); }
  // Waits for the threads; true when every band was decoded without a warning or an error.
  // Otherwise the caller decodes the rest itself, which gives the same pixels and messages
  // as a decode that was never split.
  bool Finish();

  // Output libjpeg gives band by band exactly as in one pass: a single scan, no colour
  // quantizing, plain colour or grey rows.
  static bool Splittable(const jpeg_decompress_struct& c);

private:
  struct Band {
    int first = 0, end = 0;
    bool last = false;
    bool ok = false;
  };
  JpegBands(const uint8_t* data, size_t size, const DecodedRows& rows, const SetUp& setUp)
      : data_(data), size_(size), rows_(rows), setUp_(setUp) {}
  void Decode(Band& band);
  bool RunBand(jpeg_decompress_struct& c, JpegErrorManager& err, Band& band,
               std::vector<uint8_t>& batch);

  const uint8_t* data_;
  size_t size_;
  const DecodedRows& rows_;
  SetUp setUp_;
  int callerEnd_ = 0;
  std::vector<Band> bands_;
  std::vector<std::thread> threads_;
  std::atomic<int> rowsDone_{0};
  std::atomic<bool> stop_{false};
};

}  // namespace velk
