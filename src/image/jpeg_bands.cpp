#include "image/jpeg_bands.h"

#include <algorithm>
#include <csetjmp>
#include <system_error>

namespace velk {

namespace {

// Below this many pixels a thread and a second decoder's set-up cost more than they save.
constexpr uint64_t kWorthSplitting = 500'000;
constexpr int kMostBands = 4;
// Skipping a row costs about this share of decoding it: the entropy decoding, measured at
// half of a photo's decode.
constexpr double kSkipCost = 0.5;

// Band starts in rows, iMCU-row aligned: each band's skip plus its own rows take as long as the
// caller's band (skipping a row costs skipCost of a row's whole work). Fewer bands when the
// picture is too short for them.
std::vector<int> BandStarts(int height, int imcuRows, int bands, double skipCost) {
  std::vector<double> starts{0};
  for (int i = 0; i < bands; ++i) starts.push_back(starts.back() + 1 - skipCost * starts.back());
  std::vector<int> rows;
  for (double start : starts) {
    const int row = int(start / starts.back() * height) / imcuRows * imcuRows;
    if (rows.empty() || row - rows.back() >= imcuRows) rows.push_back(row);
  }
  rows.back() = height;
  return rows;  // band i covers [rows[i], rows[i + 1])
}

}  // namespace

JDIMENSION ReadRowBatch(jpeg_decompress_struct& c, JSAMPARRAY rows, JDIMENSION count) {
  JDIMENSION got = 0;
  while (got < count) {
    const JDIMENSION more = jpeg_read_scanlines(&c, rows + got, count - got);
    if (more == 0) break;
    got += more;
  }
  return got;
}

bool JpegBands::Splittable(const jpeg_decompress_struct& c) {
  const bool plainRows = c.out_color_space == JCS_EXT_BGR || c.out_color_space == JCS_GRAYSCALE;
  // Without fancy upsampling libjpeg may merge upsampling and colour conversion, whose
  // skipping has had faults of its own in libjpeg's past: such files stay in one piece.
  return plainRows && !c.quantize_colors && c.do_fancy_upsampling && !c.raw_data_out &&
         !jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&c)) &&
         uint64_t(c.output_width) * c.output_height >= kWorthSplitting;
}

std::unique_ptr<JpegBands> JpegBands::Start(const uint8_t* data, size_t size,
                                            const jpeg_decompress_struct& caller,
                                            const DecodedRows& rows, const SetUp& setUp,
                                            int threads) {
  if (threads < 2 || !Splittable(caller) || caller.output_scanline != 0) return nullptr;
  const int imcuRows = caller.max_v_samp_factor * DCTSIZE;
  // Rows that are turned as well cost more to do, not to skip.
  const double skipCost = kSkipCost / (1 + rows.PlaceCost());
  const std::vector<int> starts =
      BandStarts(int(caller.output_height), imcuRows, std::min(threads, kMostBands), skipCost);
  if (starts.size() < 3) return nullptr;
  std::unique_ptr<JpegBands> bands(new JpegBands(data, size, rows, setUp));
  bands->callerEnd_ = starts[1];
  for (size_t i = 1; i + 1 < starts.size(); ++i)
    bands->bands_.push_back({starts[i], starts[i + 1], i + 2 == starts.size(), false});
  try {
    for (Band& band : bands->bands_)
      bands->threads_.emplace_back([raw = bands.get(), &band] { raw->Decode(band); });
  } catch (const std::system_error&) {
    return nullptr;  // no thread to be had: those started are stopped, the caller does it all
  }
  return bands;
}

JpegBands::~JpegBands() {
  stop_ = true;
  for (std::thread& thread : threads_)
    if (thread.joinable()) thread.join();
}

bool JpegBands::Finish() {
  for (std::thread& thread : threads_) thread.join();
  return std::all_of(bands_.begin(), bands_.end(), [](const Band& b) { return b.ok; });
}

void JpegBands::Decode(Band& band) {
  jpeg_decompress_struct c{};
  JpegErrorManager err;
  c.err = InitJpegErrorManager(err);  // warnings not tolerated: the first ends the band
  std::vector<uint8_t> batch;
  try {
    band.ok = RunBand(c, err, band, batch);
  } catch (...) {  // out of memory for the batch: the caller decodes the rest itself
    band.ok = false;
  }
  jpeg_destroy_decompress(&c);
}

// Holds only trivially destructible locals, so that libjpeg's longjmp skips no destructor.
bool JpegBands::RunBand(jpeg_decompress_struct& c, JpegErrorManager& err, Band& band,
                        std::vector<uint8_t>& batch) {
  if (setjmp(err.jump) != 0) return false;
  jpeg_create_decompress(&c);
  if (setUp_.beforeHeader) setUp_.beforeHeader(c);
  jpeg_mem_src(&c, data_, static_cast<unsigned long>(size_));
  jpeg_read_header(&c, TRUE);
  if (setUp_.afterHeader) setUp_.afterHeader(c);
  jpeg_calc_output_dimensions(&c);
  if (!Splittable(c) || int(c.output_width) != rows_.Width() ||
      int(c.output_height) != rows_.Height() || c.out_color_components * 8 != rows_.BitsPerPixel())
    return false;
  jpeg_start_decompress(&c);
  if (jpeg_skip_scanlines(&c, JDIMENSION(band.first)) != JDIMENSION(band.first)) return false;
  JSAMPROW rows[DecodedRows::kMostBatchRows];
  while (int(c.output_scanline) < band.end) {
    if (stop_.load(std::memory_order_relaxed)) return false;
    const JDIMENSION first = c.output_scanline;
    const JDIMENSION wanted =
        std::min(JDIMENSION(rows_.BatchRows()), JDIMENSION(band.end) - first);
    rows_.Aim(rows, int(first), int(wanted), batch);
    if (ReadRowBatch(c, rows, wanted) != wanted) return false;
    rows_.Place(int(first), int(wanted), batch);
    rowsDone_.fetch_add(int(wanted), std::memory_order_relaxed);
  }
  // The last band reads on to the end of the file, where a damaged one may still warn.
  if (band.last) jpeg_finish_decompress(&c);
  return c.err->num_warnings == 0;
}

}  // namespace velk
