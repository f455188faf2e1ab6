#include "options/conversion.h"

#include <QString>

#include "gif/gif_image.h"
#include "image/jpeg_codec.h"
#include "image/tiff_reader.h"
#include "image/tiff_writer.h"
#include "platform/atomic_file.h"
#include "platform/bmp_codec.h"
#include "platform/errors.h"

namespace velk {

namespace {

constexpr uint64_t kMaxInputBytes = uint64_t(1) << 31;

std::string::size_type NameStart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string LowerExtension(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || dot < NameStart(path)) return "";
  // The system's case rules, not just ASCII.
  return QString::fromStdString(path.substr(dot)).toLower().toStdString();
}

bool IsJpegExtension(const std::string& lowerExtension) {
  return lowerExtension == ".jpg" || lowerExtension == ".jpeg";
}

std::string ConvertOutputPath(const std::string& folder, const std::string& input, int format) {
  std::string name = input.substr(NameStart(input));
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return folder + name + kConvertExtensions.at(format);
}

Bitmap LoadJpegInput(const std::string& path, PhotoCorrections corrections) {
  auto bytes = ReadWholeFile(path, kMaxInputBytes);
  if (!bytes) throw EFileError(FormatMessage("Cannot open file \"%s\".", path));
  if (bytes->empty()) throw EJPEGException("Empty input file");
  JpegDecodeOptions options;
  options.applyOrientation = corrections.orientation;
  options.convertProfile = corrections.colourProfile;
  return DecodeJpeg(bytes->data(), bytes->size(), options);
}

Bitmap LoadGifInput(const std::string& path, TGIFImage& gif) {
  gif.LoadFromFile(path);
  return gif.Bitmap();  // the first frame only
}

Bitmap LoadTiffInput(const std::string& path, PhotoCorrections corrections) {
  Bitmap bitmap;
  // The reader has shown its own message when it refuses the file.
  if (!LoadTiffPhoto(path, bitmap, corrections.orientation, corrections.colourProfile))
    throw EInvalidGraphic("TIFF file not loaded");
  return bitmap;
}

namespace {

Bitmap LoadByExtension(const std::string& path, TGIFImage& gif, PhotoCorrections corrections) {
  const std::string extension = LowerExtension(path);
  if (IsJpegExtension(extension)) return LoadJpegInput(path, corrections);
  if (extension == ".bmp") return LoadBmpFile(path);
  if (extension == ".gif") return LoadGifInput(path, gif);
  if (extension == ".tif" || extension == ".tiff") return LoadTiffInput(path, corrections);
  throw EInvalidGraphic(FormatMessage("Unknown picture file extension (%s)", extension));
}

}  // namespace

Bitmap LoadConvertInput(const std::string& path, TGIFImage& gif, PhotoCorrections corrections) {
  Bitmap bitmap = LoadByExtension(path, gif, corrections);
  // A picture without pixels (a GIF with a 0 x 0 screen or no image) has nothing to convert.
  if (bitmap.Empty()) throw EInvalidGraphic("The picture is empty");
  return bitmap;
}

std::vector<uint8_t> EncodeConvertOutput(const Bitmap& bitmap, int format, int quality,
                                         TGIFImage& gif) {
  switch (format) {
    case 0: return WriteBmp(bitmap);
    case 1: {
      JpegEncodeOptions options;
      options.quality = quality;
      // The JPEG encoder takes 8 and 24 bits only; other depths are widened first.
      const int bits = bitmap.BitsPerPixel();
      if (bits == 8 || bits == 24) return EncodeJpeg(bitmap, options);
      return EncodeJpeg(ConvertTo24Bit(bitmap), options);
    }
    case 2:
      gif.Assign(bitmap);
      return gif.SaveToBytes();
    case 3: return WriteBitmapAsTiff(bitmap);
    default: throw EInvalidGraphic("Unknown output format");
  }
}

void WriteConvertOutput(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!WriteFileAtomically(path, bytes))
    throw EFileError(FormatMessage("Cannot create file \"%s\".", path));
}

std::string ErrorsText(int errors) { return std::to_string(errors) + " errors occurred"; }

std::string ConvertedText(int converted) {
  return std::to_string(converted) + " files successfully converted";
}

}  // namespace velk
