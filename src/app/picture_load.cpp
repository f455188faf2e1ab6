#include "app/picture_load.h"

#include <sys/stat.h>

#include <atomic>

#include "gif/gif_image.h"
#include "image/image_aspect.h"
#include "image/jpeg_image.h"
#include "image/tiff_decoders.h"
#include "image/tiff_reader.h"
#include "platform/atomic_file.h"
#include "platform/bitmap_graphic.h"
#include "platform/file_path.h"

namespace velk {

namespace {
std::atomic<bool> fittingAllowed{false};
}  // namespace

void AllowFittingOnLoads() { fittingAllowed = true; }

FileKind KindOf(const std::string& path) {
  if (path.empty()) return FileKind::Unsupported;
  const std::string ext = LowerFileExt(path);
  if (ext == "jpg" || ext == "jpeg") return FileKind::Jpeg;
  if (ext == "bmp") return FileKind::Bitmap;
  if (ext == "gif") return FileKind::Gif;
  if (ext == "tif" || ext == "tiff") return FileKind::Tiff;
  return FileKind::Unsupported;
}

FileStamp StampOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  auto ns = [](const timespec& t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
  return {uint64_t(status.st_dev), uint64_t(status.st_ino), uint64_t(status.st_size),
          ns(status.st_mtim), ns(status.st_ctim)};
}

uint64_t LoadedPicture::Cost() const {
  uint64_t pixels = 0;
  if (const auto* still = dynamic_cast<const BitmapGraphic*>(picture.GetGraphic())) {
    const Bitmap& bitmap = still->GetBitmap();
    pixels = bitmap.ByteSize();
    const QImage& shown = still->DisplayImage();
    if (shown.constBits() != bitmap.Bits())
      pixels += uint64_t(shown.sizeInBytes());  // a converted copy for the screen
  }
  // A GIF's frames and canvas, roughly: its pixels a few times over.
  if (gif) pixels += uint64_t(gif->Width()) * uint64_t(gif->Height()) * 8;
  return (bytes ? bytes->size() : 0) + pixels;
}

LoadedPicture LoadPicture(const LoadRequest& request, const LoadCancelled& cancelled,
                          const LoadProgress& progress) {
  LoadedPicture result;
  result.request = request;
  result.kind = KindOf(request.path);
  if (result.kind == FileKind::Unsupported) return result;
  const std::string& path = request.path;
  result.stamp = StampOf(path);
  try {
    // A file gone, emptied or turned into a pipe since it was listed: the same words for all.
    CheckFileReadable(path);
    switch (result.kind) {
      case FileKind::Jpeg: {
        const auto bytes = std::make_shared<const std::vector<uint8_t>>(ReadJpegFile(path));
        result.bytes = bytes;
        auto step = [&](int) {
          ++result.progressEvents;
          if (progress) progress();
          if (cancelled && cancelled()) throw JpegDecodeAbandoned{};
        };
        result.picture.SetBitmap(DecodeJpeg(bytes->data(), bytes->size(), request.jpeg,
                                            request.progressStep, step, &result.warning));
        break;
      }
      case FileKind::Bitmap:
        result.picture.LoadFromFile(path);
        break;
      case FileKind::Gif:
        result.gif = std::make_shared<TGIFImage>();
        result.gif->LoadFromFile(path);
        break;
      case FileKind::Tiff: {
        TiffMessages messages;  // shown by the window, in their order, also before an error
        Bitmap bitmap;
        try {
          LoadTiffPhoto(path, bitmap, request.applyOrientation, request.convertProfile);
        } catch (...) {
          result.messages = messages.Take();
          throw;
        }
        result.messages = messages.Take();
        result.picture.SetBitmap(std::move(bitmap));
        break;
      }
      case FileKind::Unsupported:
        break;
    }
  } catch (const JpegDecodeAbandoned&) {
    throw;
  } catch (...) {
    result.error = std::current_exception();
  }
  // The window then only swaps it in: scaling a photo down is most of showing it.
  const QSize size(result.picture.Width(), result.picture.Height());
  if (const auto* still = dynamic_cast<const BitmapGraphic*>(result.picture.GetGraphic());
      still && fittingAllowed && !request.fitArea.isEmpty() &&
      (size.width() > request.fitArea.width() || size.height() > request.fitArea.height())) {
    result.fittedTarget = TImageAspect::FitTarget(request.fitArea, size);
    if (!result.fittedTarget.isEmpty())
      result.fitted = TImageAspect::FitImage(*still, result.fittedTarget.size(), request.pixelRatio);
  }
  return result;
}

}  // namespace velk
