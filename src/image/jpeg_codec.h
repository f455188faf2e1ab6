#pragma once
// JPEG decoding into a Bitmap and encoding from one, through libjpeg, with the display
// control's options. No Qt here, so it can be fuzzed and benchmarked alone.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace velk {

enum class TNumOfColors { _16, _256, TrueColor };
enum class TDCTMethod { Integ, FastInteg, FloatingPoint };
enum class TDither { None, FS, Ordered };

// A libjpeg failure (or the first warning) with libjpeg's formatted message text.
class EJPEGException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct JpegDecodeOptions {
  TNumOfColors numOfColors = TNumOfColors::_256;
  TDCTMethod dctMethod = TDCTMethod::Integ;
  TDither dither = TDither::FS;
  bool fastProcessing = false;
  bool grayScale = false;
  bool noSmooth = false;
  bool onePass = false;
  // Beyond the file's pixels: turn the picture as its EXIF Orientation says, and convert it
  // from an embedded colour profile to sRGB (before any colour reduction).
  bool applyOrientation = false;
  bool convertProfile = false;
  // Decode a damaged file on past libjpeg's warnings (it fills what is missing) instead of
  // failing at the first one; the first warning's text is reported.
  bool tolerateWarnings = false;
  friend bool operator==(const JpegDecodeOptions&, const JpegDecodeOptions&) = default;
};

struct JpegEncodeOptions {
  TDCTMethod dctMethod = TDCTMethod::Integ;
  bool fastProcessing = false;  // true turns optimised Huffman tables off
  bool grayScale = false;
  bool progressive = false;
  int quality = 75;  // 0..100
  // Stores R, G and B themselves at full resolution (no YCbCr, no subsampling).
  bool rgbColourSpace = false;
};

// Called with the new percentage each time rows done x 100 / height reaches a value that
// differs from the last one reported (0 at the start) and is a multiple of progressStep.
using JpegProgress = std::function<void(int percent)>;

// Decodes a whole JPEG file. The result is what IJG's BMP writer would write: 24 bits B,G,R
// for unquantized colour; otherwise 8 bits with a 256-entry palette (the quantizer's map
// padded with zero entries, or the 256 grey levels for unquantized grey scale).
// CMYK and YCCK files (Adobe's inverted CMYK included) come out as RGB in every mode; where
// 16 or 256 colours or grey are asked of them, or of a picture whose colour profile is
// converted, the RGB picture is reduced by libjpeg's own quantizer (through a lossless-quality
// RGB stream), so the reduction is the one every other file gets.
// Throws EJPEGException on any libjpeg error, on a warning unless options.tolerateWarnings
// (then the first warning's text goes to *warning), and with "Image too large to decode"
// before allocating when the output would not fit a Bitmap (kMaxBitmapBytes).
Bitmap DecodeJpeg(const uint8_t* data, size_t size, const JpegDecodeOptions& options,
                  int progressStep = 10, const JpegProgress& progress = {},
                  std::string* warning = nullptr);

// While one lives, a core counts as busy with other work (the window's thread making the
// windows at start-up), so a large decode started meanwhile splits into fewer bands or none:
// it would only slow that work down.
class JpegCoreTaken {
public:
  JpegCoreTaken();
  ~JpegCoreTaken();
  JpegCoreTaken(const JpegCoreTaken&) = delete;
  JpegCoreTaken& operator=(const JpegCoreTaken&) = delete;
};

// Encodes an 8-bit palette or 24-bit bitmap, read through an IJG-style BMP reader (so other
// depths fail with "Only 8- and 24-bit BMP files are supported"). Throws EJPEGException.
std::vector<uint8_t> EncodeJpeg(const Bitmap& bitmap, const JpegEncodeOptions& options,
                                int progressStep = 10, const JpegProgress& progress = {});

// The same from a whole Windows bitmap file held in memory (what EncodeJpeg does after
// writing the bitmap as one).
std::vector<uint8_t> EncodeJpegFromBmp(const uint8_t* bmp, size_t size,
                                       const JpegEncodeOptions& options, int progressStep = 10,
                                       const JpegProgress& progress = {});

}  // namespace velk
