#pragma once
// One picture file loaded for the main window, on whichever thread: the file's kind by its
// extension, what the display settings ask of the decode, and what came out (the picture, or
// the error its loader threw, to be shown on the window's thread as if thrown there).
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QRect>
#include <QSize>

#include "image/jpeg_codec.h"
#include "platform/picture.h"

namespace velk {

class TGIFImage;

enum class FileKind { Unsupported, Jpeg, Bitmap, Gif, Tiff };
FileKind KindOf(const std::string& path);

// What tells one state of a file on disk from another: a file replaced, rewritten or touched
// since it was read has another stamp.
struct FileStamp {
  uint64_t device = 0, inode = 0, size = 0;
  int64_t modifiedNs = 0, changedNs = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The stamp of the file now; all zero when it cannot be looked at.
FileStamp StampOf(const std::string& path);

struct LoadRequest {
  std::string path;
  JpegDecodeOptions jpeg;  // JPEG files only
  int progressStep = 1;
  bool applyOrientation = true;  // TIFF files (a JPEG's are in jpeg)
  bool convertProfile = true;
  // Where "To fit" would show the picture (empty otherwise): a still picture larger than this
  // is also scaled into it on the loading thread. Not part of what makes the picture.
  QSize fitArea;
  qreal pixelRatio = 1;
  friend bool operator==(const LoadRequest& a, const LoadRequest& b) {
    return a.path == b.path && a.jpeg == b.jpeg && a.progressStep == b.progressStep &&
           a.applyOrientation == b.applyOrientation && a.convertProfile == b.convertProfile;
  }
};

struct LoadedPicture {
  LoadRequest request;
  FileKind kind = FileKind::Unsupported;
  FileStamp stamp;             // of the file as it was read
  std::shared_ptr<const std::vector<uint8_t>> bytes;  // a JPEG file's, kept by the JPEG control
  Picture picture;             // a still picture (JPEG, BMP, TIFF)
  std::shared_ptr<TGIFImage> gif;  // a GIF file
  QImage fitted;               // the still picture scaled for "To fit" (see fitArea)
  QRect fittedTarget;          // where in the fit area
  std::string warning;         // a damaged JPEG: libjpeg's first warning
  int progressEvents = 0;      // the JPEG decode's progress events
  // Messages a TIFF file's reader had for the user, in their order.
  std::vector<std::string> messages;
  std::exception_ptr error;    // what the loader threw; the picture is then empty
  // Memory held: the file's bytes and the pixels.
  uint64_t Cost() const;
};

// The "To fit" copy is drawn with a QPainter, which needs the application object: loads begun
// before the first window is made leave it to the window. Called when that window is made.
void AllowFittingOnLoads();

// Asked after every progress step of a JPEG decode; true abandons the load.
using LoadCancelled = std::function<bool()>;
// Called with each progress step of a JPEG decode, on the loading thread.
using LoadProgress = std::function<void()>;

// Loads the file as the main window shows it. Errors are kept in the result, except for an
// abandoned load, which throws JpegDecodeAbandoned.
LoadedPicture LoadPicture(const LoadRequest& request, const LoadCancelled& cancelled = {},
                          const LoadProgress& progress = {});

}  // namespace velk
