#include "image/jpeg_image.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/bitmap_graphic.h"
#include "platform/errors.h"

namespace velk {

namespace {
// JPEG files larger than this are refused before they are read into memory.
constexpr uint64_t kMaxJpegFileBytes = uint64_t(1) << 31;
}  // namespace

std::vector<uint8_t> ReadJpegFile(const std::string& path) {
  auto bytes = ReadWholeFile(path, kMaxJpegFileBytes);
  if (!bytes) {
    const std::string reason = std::strerror(errno ? errno : EIO);
    throw EFileError(FormatMessage("Cannot open file \"%s\". ", path) + reason);
  }
  // A zero-length file is a failed read, not an empty picture.
  if (bytes->empty()) throw EJPEGException("Empty input file");
  return std::move(*bytes);
}

TCustomJPEGImage::TCustomJPEGImage(QWidget* parent)
    : PictureControl(parent), held_(std::make_shared<const std::vector<uint8_t>>()) {
  SetNumOfColors(TNumOfColors::_256);
  SetDCTMethod(TDCTMethod::Integ);
  SetDither(TDither::FS);
  SetGrayScale(false);
  SetNoSmooth(false);
  SetOnePass(false);
  SetProgressStep(10);
  SetQuality(75);
}

void TCustomJPEGImage::SetNumOfColors(TNumOfColors value) {
  options_.numOfColors = value;
  DecodeToPicture();
}

void TCustomJPEGImage::SetDCTMethod(TDCTMethod value) {
  options_.dctMethod = value;
  DecodeToPicture();
}

void TCustomJPEGImage::SetDither(TDither value) {
  options_.dither = value;
  DecodeToPicture();
}

void TCustomJPEGImage::SetFlag(int index, bool value) {
  switch (index) {
    case 0: options_.fastProcessing = value; break;
    case 1: options_.grayScale = value; break;
    case 2: options_.noSmooth = value; break;
    case 3: options_.onePass = value; break;
    default: return;
  }
  DecodeToPicture();
}

void TCustomJPEGImage::SetProgressStep(int percent) { progressStep_ = std::clamp(percent, 1, 100); }

void TCustomJPEGImage::SetQuality(int quality) { quality_ = std::clamp(quality, 0, 100); }

JpegProgress TCustomJPEGImage::ProgressForwarder() {
  return [this](int) { emit OnProgress(this); };
}

void TCustomJPEGImage::DecodeToPicture() {
  if (loading_) return;
  if (held_->empty()) {
    GetPicture().Clear();
    lastWarning_.clear();
    update();
    return;
  }
  if (PictureIsOwnDecode()) {
    for (int i = 0; i < ownDecode_->progressEvents; ++i) emit OnProgress(this);
    GetPicture().ForceBitmap().PixelsChanged();  // as replacing it with the same bitmap
    ownDecode_->pictureGeneration = GetPicture().Generation();
    update();
    return;
  }
  int progressEvents = 0;
  const JpegProgress forward = ProgressForwarder();
  std::string warning;
  Bitmap decoded = DecodeJpeg(held_->data(), held_->size(), options_, progressStep_,
                              [&](int percent) {
                                ++progressEvents;
                                forward(percent);
                              },
                              &warning);
  lastWarning_ = std::move(warning);
  GetPicture().SetBitmap(std::move(decoded));  // the display image is made at once
  ownDecode_ = OwnDecode{heldVersion_, options_, progressStep_, GetPicture().Generation(),
                         progressEvents};
  update();
}

bool TCustomJPEGImage::PictureIsOwnDecode() const {
  return ownDecode_ && ownDecode_->heldVersion == heldVersion_ &&
         ownDecode_->options == options_ && ownDecode_->progressStep == progressStep_ &&
         ownDecode_->pictureGeneration == GetPicture().Generation();
}

JpegEncodeOptions TCustomJPEGImage::EncodeOptions() const {
  JpegEncodeOptions options;
  options.dctMethod = options_.dctMethod;
  options.fastProcessing = options_.fastProcessing;
  options.grayScale = options_.grayScale;
  options.progressive = progressive_;
  options.quality = quality_;
  return options;
}

void TCustomJPEGImage::EncodeToStream(std::vector<uint8_t>* out) {
  if (!out) return;
  const Bitmap& bitmap = GetPicture().Bitmap();
  const std::vector<uint8_t> encoded = EncodeJpeg(bitmap, EncodeOptions(), progressStep_, ProgressForwarder());
  out->insert(out->end(), encoded.begin(), encoded.end());
}

void TCustomJPEGImage::EncodeToFile(const std::string& name) {
  std::vector<uint8_t> encoded;
  EncodeToStream(&encoded);
  if (!WriteFileAtomically(name, encoded))
    throw EFileError(FormatMessage("Cannot create file \"%s\".", name));
}

void TCustomJPEGImage::LoadHeldBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadJpegFile(path);  // on failure the picture stays
  } catch (const EJPEGException&) {
    // An empty file is held as such, so a later option change shows nothing rather than the
    // file before it.
    if (!held_->empty()) {
      held_ = std::make_shared<const std::vector<uint8_t>>();
      ++heldVersion_;
    }
    throw;
  }
  if (bytes != *held_) {  // the same file read again decodes to the same picture
    held_ = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    ++heldVersion_;
  }
  DecodeToPicture();
}

void TCustomJPEGImage::AdoptDecode(JpegBytes bytes, const JpegDecodeOptions& options,
                                   int progressEvents, const Picture& decoded,
                                   std::string warning) {
  held_ = bytes ? std::move(bytes) : std::make_shared<const std::vector<uint8_t>>();
  ++heldVersion_;
  options_ = options;
  lastWarning_ = std::move(warning);
  GetPicture().Assign(decoded);  // shares the decoded pixels
  if (decoded.HasGraphic())
    ownDecode_ = OwnDecode{heldVersion_, options_, progressStep_, GetPicture().Generation(),
                           progressEvents};
  else
    ownDecode_.reset();
  update();
}

void TCustomJPEGImage::ClearHeldBytes() {
  held_ = std::make_shared<const std::vector<uint8_t>>();
  ++heldVersion_;
  DecodeToPicture();
}

TJPEGImage::TJPEGImage(QWidget* parent) : TCustomJPEGImage(parent) { SetFileName(""); }

void TJPEGImage::SetFileName(const std::string& f) {
  fileName_ = f;
  if (f.empty()) ClearHeldBytes();
  else LoadHeldBytes(f);
}

void TJPEGImage::AdoptFile(const std::string& f, JpegBytes bytes,
                           const JpegDecodeOptions& options, int progressEvents,
                           const Picture& decoded, std::string warning) {
  fileName_ = f;
  AdoptDecode(std::move(bytes), options, progressEvents, decoded, std::move(warning));
}

}  // namespace velk
