#pragma once
// The conversion utility's work on one file, free of widgets so that the Convert page and the
// command-line converter run the same code: loading by extension, output naming, the four
// writers and the crash-safe write.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace velk {

class TGIFImage;

// The format box's items, in order: 0 BMP, 1 JPEG, 2 GIF, 3 TIFF.
inline constexpr int kConvertFormatCount = 4;
inline constexpr std::array<const char*, kConvertFormatCount> kConvertExtensions = {
    ".bmp", ".jpg", ".gif", ".tif"};

// The part from the last "." after the last "/", lower-cased ("" when there is none).
std::string LowerExtension(const std::string& path);
// True for the extensions the JPEG branch loads (".jpg", ".jpeg").
bool IsJpegExtension(const std::string& lowerExtension);
// The folder text followed directly by the input's file name with its extension replaced by
// the format's (appended when the name has no ".").
std::string ConvertOutputPath(const std::string& folder, const std::string& input, int format);

// How photos are turned (by their orientation tag) and coloured (from an embedded profile to
// sRGB) as they load: the viewer's settings, on unless the user turned them off.
struct PhotoCorrections {
  bool orientation = true;
  bool colourProfile = true;
};

// Loads a file by its extension with the working picture's fixed JPEG settings (256 colours,
// Floyd-Steinberg). Throws on any failure, including an extension no loader takes and a
// picture without pixels.
Bitmap LoadConvertInput(const std::string& path, TGIFImage& gif, PhotoCorrections corrections);
// The loaders for one kind (the caller has chosen by extension); throw on failure.
Bitmap LoadJpegInput(const std::string& path, PhotoCorrections corrections);
Bitmap LoadGifInput(const std::string& path, TGIFImage& gif);
Bitmap LoadTiffInput(const std::string& path, PhotoCorrections corrections);

// The whole output file in a format; 1-, 4-, 16- and 32-bit pictures are widened to 24 bits
// for JPEG. Encoder failures throw.
std::vector<uint8_t> EncodeConvertOutput(const Bitmap& bitmap, int format, int quality,
                                         TGIFImage& gif);
// Writes to a temporary file beside path and renames it over path, so a failed write never
// leaves a truncated file nor destroys an input of the same name. Throws EFileError.
void WriteConvertOutput(const std::string& path, const std::vector<uint8_t>& bytes);

// The summary texts of a run.
std::string ErrorsText(int errors);        // "2 errors occurred"
std::string ConvertedText(int converted);  // "3 files successfully converted"

}  // namespace velk
