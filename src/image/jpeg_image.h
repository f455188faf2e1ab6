#pragma once
// Shows a JPEG file. The file's bytes stay in memory and are decoded again whenever a decode
// option is set, so option changes show at once; it also encodes its picture as JPEG.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/jpeg_codec.h"
#include "image/picture_control.h"

namespace velk {

// Thrown out of a decode that was given up (its progress hook said so). Not a std::exception:
// the handlers that drop decode errors must let it through to whoever gave it up.
struct JpegDecodeAbandoned {};

// A file's bytes, shared between the control and whoever read them (never copied).
using JpegBytes = std::shared_ptr<const std::vector<uint8_t>>;

// A JPEG file's bytes, as the control holds them. A file that cannot be read throws EFileError
// ("Cannot open file ..." and why), an empty one EJPEGException("Empty input file").
std::vector<uint8_t> ReadJpegFile(const std::string& path);

class TCustomJPEGImage : public PictureControl {
  Q_OBJECT
public:
  explicit TCustomJPEGImage(QWidget* parent = nullptr);

  TNumOfColors NumOfColors() const { return options_.numOfColors; }
  TDCTMethod DCTMethod() const { return options_.dctMethod; }
  TDither Dither() const { return options_.dither; }
  bool FastProcessing() const { return options_.fastProcessing; }
  bool GrayScale() const { return options_.grayScale; }
  bool NoSmooth() const { return options_.noSmooth; }
  bool OnePass() const { return options_.onePass; }
  bool ApplyOrientation() const { return options_.applyOrientation; }
  bool ConvertProfile() const { return options_.convertProfile; }
  // With warnings tolerated: the first warning of the decode the picture shows, else "".
  const std::string& LastWarning() const { return lastWarning_; }
  int ProgressStep() const { return progressStep_; }
  int Quality() const { return quality_; }
  bool Progressive() const { return progressive_; }

  // Each of these stores the value and decodes again, also when the value did not change.
  void SetNumOfColors(TNumOfColors value);
  void SetDCTMethod(TDCTMethod value);
  void SetDither(TDither value);
  // The four flags share one setter: 0 FastProcessing, 1 GrayScale, 2 NoSmooth, 3 OnePass.
  void SetFlag(int index, bool value);
  void SetFastProcessing(bool value) { SetFlag(0, value); }
  void SetGrayScale(bool value) { SetFlag(1, value); }
  void SetNoSmooth(bool value) { SetFlag(2, value); }
  void SetOnePass(bool value) { SetFlag(3, value); }
  // These only store; the next decode follows them.
  void SetApplyOrientation(bool value) { options_.applyOrientation = value; }
  void SetConvertProfile(bool value) { options_.convertProfile = value; }
  void SetTolerateWarnings(bool value) { options_.tolerateWarnings = value; }
  void SetProgressStep(int percent);  // kept within 1..100
  void SetQuality(int quality);       // kept within 0..100
  void SetProgressive(bool value) { progressive_ = value; }

  // Decodes the held bytes into the picture; an empty holding empties the picture. Throws
  // EJPEGException; the picture then keeps what it had.
  void DecodeToPicture();
  // Compresses the picture's bitmap (the picture is made to hold one) and appends the JPEG
  // stream to out; does nothing without a stream.
  void EncodeToStream(std::vector<uint8_t>* out);
  // Writes the JPEG file atomically; a failure to write throws EFileError.
  void EncodeToFile(const std::string& name);

  // Takes a decode made elsewhere (a worker thread) of the given bytes with the given options,
  // as if the bytes had been set and decoded here: the options become this control's, and
  // setting one of them again replays the decode's progress events instead of decoding again.
  void AdoptDecode(JpegBytes bytes, const JpegDecodeOptions& options, int progressEvents,
                   const Picture& decoded, std::string warning);
  const JpegDecodeOptions& DecodeOptions() const { return options_; }

  // While set, option changes do not decode (the window is being built).
  void SetLoading(bool loading) { loading_ = loading; }
  const std::vector<uint8_t>& HeldBytes() const { return *held_; }

signals:
  void OnProgress(QObject* sender);

protected:
  // Replaces the held bytes with a file's contents, then decodes.
  void LoadHeldBytes(const std::string& path);
  void ClearHeldBytes();

private:
  JpegEncodeOptions EncodeOptions() const;
  JpegProgress ProgressForwarder();

  // What the picture holds when it is this control's own decode: decoding the same bytes with
  // the same options again gives the same bitmap, so the decode is replayed (its progress
  // events, the picture's change, the repaint) instead of holding a second copy meanwhile.
  struct OwnDecode {
    uint64_t heldVersion;
    JpegDecodeOptions options;
    int progressStep;
    uint64_t pictureGeneration;
    int progressEvents;
  };
  bool PictureIsOwnDecode() const;

  JpegBytes held_;  // never null
  std::string lastWarning_;
  uint64_t heldVersion_ = 0;  // counts replacements of held_
  std::optional<OwnDecode> ownDecode_;
  JpegDecodeOptions options_;
  int progressStep_ = 10;
  int quality_ = 75;
  bool progressive_ = false;
  bool loading_ = false;
};

class TJPEGImage : public TCustomJPEGImage {
  Q_OBJECT
public:
  explicit TJPEGImage(QWidget* parent = nullptr);

  const std::string& FileName() const { return fileName_; }
  // Stores f; an empty f empties the held bytes, otherwise the whole file is read (a file that
  // cannot be opened throws EFileError and the held bytes stay); then decodes.
  void SetFileName(const std::string& f);
  // AdoptDecode of a file's bytes, which then becomes the file name.
  void AdoptFile(const std::string& f, JpegBytes bytes, const JpegDecodeOptions& options,
                 int progressEvents, const Picture& decoded, std::string warning);

private:
  std::string fileName_;
};

}  // namespace velk
