#include "image/jpeg_codec.h"

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

#include <jerror.h>

#include "image/decoded_rows.h"
#include "image/jpeg_bands.h"
#include "image/jpeg_bmp_source.h"
#include "image/jpeg_errors.h"
#include "photo/colour_profile.h"
#include "photo/orientation.h"
#include "platform/bmp_codec.h"

// libjpeg reports errors by longjmp (see jpeg_errors.h). Each job object below lives in the
// C++ function that throws; Guarded calls setjmp, and it and the steps it runs hold only
// trivially destructible locals, so a longjmp never skips a destructor.
// The job's destructor destroys the libjpeg object on every way out, exceptions included.

namespace velk {

namespace {

// Room for the full-image buffers of any picture whose output fits a Bitmap in practice
// (two-pass quantization, progressive coefficients); past it libjpeg fails instead of
// allocating ("Backing store not supported").
constexpr long kJpegMemoryLimit = 2L << 30;

J_DCT_METHOD DctMethod(TDCTMethod method) {
  switch (method) {
    case TDCTMethod::FastInteg:
      return JDCT_IFAST;
    case TDCTMethod::FloatingPoint:
      return JDCT_FLOAT;
    case TDCTMethod::Integ:
      break;
  }
  return JDCT_ISLOW;
}

// Cores busy with decodes and other work (see JpegCoreTaken).
std::atomic<int> coresTaken{0};

// Reports rows done x 100 / total when it changes to a multiple of the step.
class ProgressTracker {
public:
  ProgressTracker(int step, const JpegProgress& callback)
      : step_(std::max(step, 1)), callback_(callback) {}
  void RowsDone(JDIMENSION done, JDIMENSION total) {
    const int percent = int(uint64_t(done) * 100 / total);
    if (percent == last_ || percent % step_ != 0) return;
    last_ = percent;
    if (callback_) callback_(percent);
  }

private:
  int step_;
  int last_ = 0;
  const JpegProgress& callback_;
};

// ---- decoding ----

// Skips a COM marker: a two-byte big-endian length that counts itself, then the text.
boolean SkipComment(j_decompress_ptr cinfo) {
  jpeg_source_mgr* src = cinfo->src;
  long length = 0;
  for (int i = 0; i < 2; ++i) {
    if (src->bytes_in_buffer == 0 && !(*src->fill_input_buffer)(cinfo)) return FALSE;
    length = (length << 8) | *src->next_input_byte++;
    --src->bytes_in_buffer;
  }
  if (length > 2) (*src->skip_input_data)(cinfo, length - 2);
  return TRUE;
}

void ApplyOptions(jpeg_decompress_struct& c, const JpegDecodeOptions& o) {
  c.quantize_colors = o.numOfColors != TNumOfColors::TrueColor;
  if (o.numOfColors == TNumOfColors::_16) c.desired_number_of_colors = 16;
  if (o.numOfColors == TNumOfColors::_256) c.desired_number_of_colors = 256;
  c.dct_method = DctMethod(o.dctMethod);
  c.dither_mode = o.dither == TDither::None      ? JDITHER_NONE
                  : o.dither == TDither::Ordered ? JDITHER_ORDERED
                                                 : JDITHER_FS;
  if (o.fastProcessing) {
    c.two_pass_quantize = FALSE;
    c.dither_mode = JDITHER_ORDERED;
    if (!c.quantize_colors) c.desired_number_of_colors = 216;
    c.dct_method = JDCT_IFAST;
    c.do_fancy_upsampling = FALSE;
  }
  if (o.grayScale) c.out_color_space = JCS_GRAYSCALE;
  if (o.noSmooth) c.do_fancy_upsampling = FALSE;
  if (o.onePass) c.two_pass_quantize = FALSE;
}

struct DecodeJob {
  DecodeJob(const uint8_t* d, size_t n, const JpegDecodeOptions& o, int step,
            const JpegProgress& callback)
      : data(d), size(n), options(o), progress(step, callback) {
    cinfo.err = InitJpegErrorManager(err);
    err.tolerateWarnings = o.tolerateWarnings;
  }
  ~DecodeJob() { jpeg_destroy_decompress(&cinfo); }  // harmless when never created

  jpeg_decompress_struct cinfo{};
  JpegErrorManager err;
  const uint8_t* data;
  size_t size;
  const JpegDecodeOptions& options;
  ProgressTracker progress;
  Bitmap bitmap;
  int orientation = kOrientationAsStored;
  std::vector<uint8_t> profile;  // the embedded ICC profile, when it is to be converted
  bool cmyk = false;  // CMYK output turned into 24-bit RGB row by row
  std::unique_ptr<SrgbTransform> cmykTransform;  // through the file's CMYK profile
  JSAMPARRAY cmykRows = nullptr;  // libjpeg's CMYK output, before it becomes B, G, R
  std::optional<DecodedRows> rows;  // where decoded rows go in the bitmap
  std::vector<uint8_t> batch;       // rows on their way to being turned
  // Stopped after the header: the picture is decoded in true colour, then reduced.
  bool reduceLater = false;
  // Rows decoded on other threads (see JpegBands), counted in the progress.
  std::function<int()> rowsElsewhere;
  JDIMENSION rowsReported = 0;

  // Reports progress for every row count up to our rows plus the other threads'.
  void ReportRows(JDIMENSION ours) {
    const JDIMENSION done = std::min(
        cinfo.output_height, ours + JDIMENSION(rowsElsewhere ? rowsElsewhere() : 0));
    for (; rowsReported < done; ++rowsReported)
      progress.RowsDone(rowsReported + 1, cinfo.output_height);
  }
};

// The colour space an ICC profile's header names (bytes 16 to 19).
bool ProfileSpaceIs(const std::vector<uint8_t>& profile, const char (&space)[5]) {
  return profile.size() >= 20 && std::equal(space, space + 4, profile.begin() + 16);
}

void ReadOrientationAndProfile(DecodeJob& job) {
  jpeg_decompress_struct& c = job.cinfo;
  if (job.options.applyOrientation)
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next)
      if (m->marker == JPEG_APP0 + 1) {
        const int value = ExifOrientation(m->data, m->data_length);
        if (value != kOrientationAsStored) job.orientation = value;
      }
  if (!job.options.convertProfile) return;
  // A malformed profile is only not used: its warning must not fail or mark the picture.
  JpegErrorManager& err = job.err;
  const long warnings = err.pub.num_warnings;
  const bool tolerated = err.tolerateWarnings;
  err.tolerateWarnings = true;
  JOCTET* icc = nullptr;
  unsigned int length = 0;
  const bool found = jpeg_read_icc_profile(&c, &icc, &length);
  err.tolerateWarnings = tolerated;
  if (err.pub.num_warnings != warnings) {
    err.pub.num_warnings = warnings;
    if (warnings == 0) err.firstWarning[0] = '\0';
  }
  if (found) {
    job.profile.assign(icc, icc + length);
    std::free(icc);
  }
}

// True when libjpeg cannot give the asked-for colours straight from the file: its quantizer
// and grey output take only YCbCr or RGB, and a profile must be converted before reducing.
bool NeedsTrueColourFirst(const DecodeJob& job) {
  const jpeg_decompress_struct& c = job.cinfo;
  const bool reduces = c.quantize_colors || c.out_color_space == JCS_GRAYSCALE;
  if (!reduces) return false;
  const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
  const bool colour = c.jpeg_color_space == JCS_YCbCr || c.jpeg_color_space == JCS_RGB;
  return cmyk || (colour && ProfileSpaceIs(job.profile, "RGB "));
}

// The bitmap depth for the output libjpeg will give; picks BGR order for direct true colour.
int ChooseOutput(DecodeJob& job) {
  jpeg_decompress_struct& c = job.cinfo;
  const J_COLOR_SPACE space = c.out_color_space;
  if (space == JCS_GRAYSCALE || (space == JCS_RGB && c.quantize_colors)) return 8;
  if (space == JCS_RGB) {
    c.out_color_space = JCS_EXT_BGR;  // the bitmap's own byte order, no swap afterwards
    return 24;
  }
  if (space == JCS_CMYK && !c.quantize_colors) {
    job.cmyk = true;
    if (ProfileSpaceIs(job.profile, "CMYK"))
      job.cmykTransform = SrgbTransform::From(
          job.profile, c.saw_Adobe_marker ? ProfilePixels::InvertedCmyk : ProfilePixels::Cmyk);
    return 24;
  }
  JpegFail(reinterpret_cast<j_common_ptr>(&c), JERR_BMP_COLORSPACE);
}

// CMYK as libjpeg hands it out to B, G, R. Adobe's files store it inverted (0 = full ink),
// others as printed (255 = full ink).
void CmykToBgr(const JSAMPLE* in, uint8_t* out, JDIMENSION width, bool inverted) {
  const unsigned flip = inverted ? 0 : 255;
  for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
    const unsigned k = in[3] ^ flip;
    out[0] = uint8_t(((in[2] ^ flip) * k + 127) / 255);
    out[1] = uint8_t(((in[1] ^ flip) * k + 127) / 255);
    out[2] = uint8_t(((in[0] ^ flip) * k + 127) / 255);
  }
}

// The quantizer's map padded with zero entries, or the grey levels for plain grey output.
void FillPalette(const jpeg_decompress_struct& c, Bitmap& bitmap) {
  std::vector<RGBQuad>& palette = bitmap.Palette();
  if (!c.quantize_colors) {
    for (int i = 0; i < 256; ++i) palette[i] = RGBQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    return;
  }
  const bool colour = c.out_color_components == 3;
  for (int i = 0; i < c.actual_number_of_colors && i < 256; ++i) {
    const JSAMPLE red = c.colormap[0][i];
    palette[i] =
        colour ? RGBQuad{c.colormap[2][i], c.colormap[1][i], red, 0} : RGBQuad{red, red, red, 0};
  }
}

void DecodeStart(DecodeJob& job) {
  jpeg_decompress_struct& c = job.cinfo;
  jpeg_create_decompress(&c);
  c.mem->max_memory_to_use = kJpegMemoryLimit;
  jpeg_set_marker_processor(&c, JPEG_COM, SkipComment);
  if (job.options.applyOrientation) jpeg_save_markers(&c, JPEG_APP0 + 1, 0xFFFF);
  if (job.options.convertProfile) jpeg_save_markers(&c, JPEG_APP0 + 2, 0xFFFF);
  jpeg_mem_src(&c, job.data, static_cast<unsigned long>(job.size));
  jpeg_read_header(&c, TRUE);
  ReadOrientationAndProfile(job);
  ApplyOptions(c, job.options);
  if (NeedsTrueColourFirst(job)) {
    job.reduceLater = true;
    return;
  }

  const int bits = ChooseOutput(job);
  jpeg_calc_output_dimensions(&c);
  const int width = int(c.output_width), height = int(c.output_height);
  if (!Bitmap::SizeAllowed(width, height, bits))
    JpegFail(reinterpret_cast<j_common_ptr>(&c), JERR_OUTPUT_TOO_LARGE);

  // Allocated once libjpeg has got through the first passes, which fail on most bad files.
  jpeg_start_decompress(&c);
  job.bitmap = OrientedBlank(width, height, bits, job.orientation);
  job.rows.emplace(job.bitmap, width, height, job.orientation);
  if (job.cmyk)
    job.cmykRows = (*c.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&c), JPOOL_IMAGE,
                                          c.output_width * 4, DecodedRows::kMostBatchRows);
}

// Decodes rows up to `end`. Progress counts the rows other threads have done too.
void ReadRows(DecodeJob& job, JDIMENSION end) {
  jpeg_decompress_struct& c = job.cinfo;
  JSAMPROW rows[DecodedRows::kMostBatchRows];
  while (c.output_scanline < end) {
    const JDIMENSION first = c.output_scanline;
    const JDIMENSION wanted = std::min(JDIMENSION(job.rows->BatchRows()), end - first);
    job.rows->Aim(rows, int(first), int(wanted), job.batch);
    JSAMPARRAY into = job.cmyk ? job.cmykRows : rows;
    const JDIMENSION got = ReadRowBatch(c, into, wanted);
    if (got != wanted) JpegFail(reinterpret_cast<j_common_ptr>(&c), JERR_INPUT_EOF);  // no hang
    for (JDIMENSION i = 0; i < got && job.cmyk; ++i) {
      if (job.cmykTransform) job.cmykTransform->Convert(job.cmykRows[i], rows[i], c.output_width);
      else CmykToBgr(job.cmykRows[i], rows[i], c.output_width, c.saw_Adobe_marker);
    }
    job.rows->Place(int(first), int(got), job.batch);
    job.ReportRows(first + got);
  }
}

// Runs one step of a job under setjmp: a libjpeg error becomes an EJPEGException with its text.
template <typename Job, typename Step>
bool Guarded(Job& job, const Step& step) {
  if (setjmp(job.err.jump) != 0) return false;
  step();
  return true;
}

template <typename Job, typename Step>
void RunStep(Job& job, const Step& step) {
  if (!Guarded(job, step)) throw EJPEGException(job.err.message);
}

// Decodes the started job's rows, the lower ones on other threads when the picture is large.
void DecodeRows(DecodeJob& job) {
  jpeg_decompress_struct& c = job.cinfo;
  const JpegDecodeOptions options = job.options;
  const JpegBands::SetUp setUp{
      [](jpeg_decompress_struct& band) {
        band.mem->max_memory_to_use = kJpegMemoryLimit;
        jpeg_set_marker_processor(&band, JPEG_COM, SkipComment);
      },
      [options](jpeg_decompress_struct& band) {
        ApplyOptions(band, options);
        if (band.out_color_space == JCS_RGB) band.out_color_space = JCS_EXT_BGR;
      }};
  // Bands only on cores no other decode (preloading may run two at once) or other work uses.
  const JpegCoreTaken ours;
  const int freeCores = int(std::thread::hardware_concurrency()) - coresTaken + 1;
  const std::unique_ptr<JpegBands> bands =
      job.cmyk ? nullptr : JpegBands::Start(job.data, job.size, c, *job.rows, setUp, freeCores);
  if (bands) {
    job.rowsElsewhere = [&bands] { return bands->RowsDone(); };
    RunStep(job, [&] { ReadRows(job, JDIMENSION(bands->CallerEnd())); });
    job.rowsElsewhere = nullptr;
  }
  const bool split = bands && bands->Finish();  // else the caller decodes the rest itself
  if (!split) RunStep(job, [&] { ReadRows(job, c.output_height); });
  // The quantizer's map is freed when the decode finishes.
  if (job.bitmap.BitsPerPixel() == 8) FillPalette(c, job.bitmap);
  if (split) job.ReportRows(c.output_height);  // the last band read the file to its end
  else RunStep(job, [&] { jpeg_finish_decompress(&c); });
}

// ---- encoding ----

// Collects the compressed stream in a malloc'ed block the job frees; growing it never throws.
struct MemoryDestination {
  jpeg_destination_mgr pub;
  JOCTET* buffer;
  size_t capacity;
  size_t size;

  static MemoryDestination& Of(j_compress_ptr cinfo) {
    return *reinterpret_cast<MemoryDestination*>(cinfo->dest);
  }
  static void Init(j_compress_ptr cinfo) {
    MemoryDestination& d = Of(cinfo);
    if (d.buffer == nullptr) {
      d.capacity = 64 * 1024;
      d.buffer = static_cast<JOCTET*>(std::malloc(d.capacity));
      if (d.buffer == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    }
    d.pub.next_output_byte = d.buffer;
    d.pub.free_in_buffer = d.capacity;
  }
  static boolean Grow(j_compress_ptr cinfo) {  // called when the block is full
    MemoryDestination& d = Of(cinfo);
    const size_t capacity = d.capacity * 2;
    auto* grown = static_cast<JOCTET*>(std::realloc(d.buffer, capacity));
    if (grown == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    d.buffer = grown;
    d.pub.next_output_byte = grown + d.capacity;
    d.pub.free_in_buffer = capacity - d.capacity;
    d.capacity = capacity;
    return TRUE;
  }
  static void Term(j_compress_ptr cinfo) {
    MemoryDestination& d = Of(cinfo);
    d.size = d.capacity - d.pub.free_in_buffer;
  }
};

struct EncodeJob {
  EncodeJob(const uint8_t* d, size_t n, const JpegEncodeOptions& o, int step,
            const JpegProgress& callback)
      : bmp(d), bmpSize(n), options(o), progress(step, callback) {
    cinfo.err = InitJpegErrorManager(err);
    destination.pub.init_destination = MemoryDestination::Init;
    destination.pub.empty_output_buffer = MemoryDestination::Grow;
    destination.pub.term_destination = MemoryDestination::Term;
  }
  ~EncodeJob() {
    jpeg_destroy_compress(&cinfo);
    std::free(destination.buffer);
  }

  jpeg_compress_struct cinfo{};
  JpegErrorManager err;
  MemoryDestination destination{};
  JpegBmpSource source;
  const uint8_t* bmp;
  size_t bmpSize;
  const JpegEncodeOptions& options;
  ProgressTracker progress;
};

void EncodeSteps(EncodeJob& job) {
  jpeg_compress_struct& c = job.cinfo;
  const JpegEncodeOptions& o = job.options;
  jpeg_create_compress(&c);
  c.in_color_space = JCS_RGB;
  c.input_components = 3;
  jpeg_set_defaults(&c);
  job.source.Start(&c, job.bmp, job.bmpSize);
  jpeg_default_colorspace(&c);
  if (o.grayScale) jpeg_set_colorspace(&c, JCS_GRAYSCALE);
  else if (o.rgbColourSpace) jpeg_set_colorspace(&c, JCS_RGB);
  c.dct_method = DctMethod(o.dctMethod);
  c.optimize_coding = o.fastProcessing ? FALSE : TRUE;
  jpeg_set_quality(&c, o.quality, FALSE);
  if (o.progressive) jpeg_simple_progression(&c);
  c.dest = &job.destination.pub;
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    const JDIMENSION rows = job.source.ReadRows(&c);
    jpeg_write_scanlines(&c, job.source.Rows(), rows);
    job.progress.RowsDone(c.next_scanline, c.image_height);
  }
  jpeg_finish_compress(&c);
}


// The picture in sRGB true colour, as asked but for the colours (and the turning, done last).
Bitmap DecodeTrueColour(const uint8_t* data, size_t size, JpegDecodeOptions options,
                        int progressStep, const JpegProgress& progress, std::string* warning) {
  options.numOfColors = TNumOfColors::TrueColor;
  options.grayScale = false;
  options.applyOrientation = false;
  return DecodeJpeg(data, size, options, progressStep, progress, warning);
}

// libjpeg's own colour reduction of an RGB picture: it goes through a quality-100 RGB stream
// (no colour conversion, no subsampling; samples within a step or two of the picture's).
Bitmap ReduceColours(const Bitmap& trueColour, JpegDecodeOptions options) {
  JpegEncodeOptions stream;
  stream.quality = 100;
  stream.rgbColourSpace = true;
  const std::vector<uint8_t> encoded = EncodeJpeg(trueColour, stream);
  options.applyOrientation = false;
  options.convertProfile = false;
  options.tolerateWarnings = false;
  return DecodeJpeg(encoded.data(), encoded.size(), options);
}

}  // namespace

JpegCoreTaken::JpegCoreTaken() { ++coresTaken; }
JpegCoreTaken::~JpegCoreTaken() { --coresTaken; }

Bitmap DecodeJpeg(const uint8_t* data, size_t size, const JpegDecodeOptions& options,
                  int progressStep, const JpegProgress& progress, std::string* warning) {
  DecodeJob job(data, size, options, progressStep, progress);
  RunStep(job, [&] { DecodeStart(job); });
  if (job.reduceLater) {
    job.bitmap = ReduceColours(DecodeTrueColour(data, size, options, progressStep, progress,
                                                warning),
                               options);
  } else {
    DecodeRows(job);
    if (job.err.pub.num_warnings > 0) {
      if (!options.tolerateWarnings) throw EJPEGException("There are warnings");
      if (warning) *warning = job.err.firstWarning;
    }
    // Colours are converted pixel by pixel: after the turn as well as before.
    if (!job.profile.empty()) ConvertBitmapToSrgb(job.bitmap, job.profile);
  }
  if (job.rows) return std::move(job.bitmap);  // turned while decoded
  return Oriented(std::move(job.bitmap), job.orientation);
}

std::vector<uint8_t> EncodeJpegFromBmp(const uint8_t* bmp, size_t size,
                                       const JpegEncodeOptions& options, int progressStep,
                                       const JpegProgress& progress) {
  EncodeJob job(bmp, size, options, progressStep, progress);
  RunStep(job, [&] { EncodeSteps(job); });
  const JOCTET* out = job.destination.buffer;
  return std::vector<uint8_t>(out, out + job.destination.size);
}

std::vector<uint8_t> EncodeJpeg(const Bitmap& bitmap, const JpegEncodeOptions& options,
                                int progressStep, const JpegProgress& progress) {
  const std::vector<uint8_t> bmp = WriteBmp(bitmap);
  return EncodeJpegFromBmp(bmp.data(), bmp.size(), options, progressStep, progress);
}

}  // namespace velk
