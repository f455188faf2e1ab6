#pragma once
// The contents of a GIF image without anything of the screen: header, frames and settings;
// loading, saving, assigning a bitmap and the first-frame bitmap. TGIFImage draws and animates it.
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "gif/gif_exception.h"
#include "gif/gif_header.h"
#include "gif/gif_settings.h"
#include "gif/gif_sub_image.h"
#include "platform/bitmap.h"

namespace velk {

class GIFImageData {
public:
  GIFImageData() = default;
  // Copies header, settings and frames; not the warning handler or cached bitmaps.
  GIFImageData(const GIFImageData& other);
  GIFImageData& operator=(const GIFImageData& other);

  // Problems that do not stop loading or assigning; unset, they are silent.
  GIFWarningHandler OnWarning;
  TGIFSettings settings;

  const TGIFHeader& Header() const { return header_; }
  TGIFHeader& MutableHeader();
  const std::vector<TGIFSubImage>& Images() const { return images_; }
  TGIFSubImage& MutableImage(size_t index);
  // Appends an empty frame.
  TGIFSubImage& AddImage();
  bool Empty() const { return images_.empty(); }
  void Clear();

  // Reads a GIF from memory after clearing. Returns the bytes used (from data to the trailer).
  // Throws GIFException (or std::bad_alloc for frames beyond kMaxBitmapBytes pixels); the frames
  // read completely before the failure stay.
  size_t LoadFromMemory(const uint8_t* data, size_t size);
  // Reads from the stream's position; on failure the stream is put back there, on success it
  // is left after the trailer.
  void LoadFromStream(std::istream& stream);
  // Throws EFileError when the file cannot be read.
  void LoadFromFile(const std::string& path);

  // The whole GIF file. Throws GIFException ("Unsupported GIF version" without frames,
  // "Color not in color table").
  std::vector<uint8_t> SaveToBytes() const;
  void SaveToStream(std::ostream& stream) const;
  // Writes atomically; throws EFileError when the file cannot be written.
  void SaveToFile(const std::string& path) const;

  // Clears, then makes one frame from the bitmap: palette bitmaps keep their palette and
  // indices, others are reduced to the fixed 216-colour palette.
  void Assign(const Bitmap& bitmap);
  // Places a frame, growing the logical screen to hold it (with warnings when a non-empty
  // screen was too small).
  void SetImageBounds(TGIFSubImage& image, int left, int top, int width, int height);

  // The first frame on the logical screen (made once, kept until the image changes); an empty
  // bitmap without frames.
  const Bitmap& FirstFrameBitmap(bool dither) const;
  // The global colour map as a palette, else the first frame's.
  std::vector<RGBQuad> Palette() const;
  // Drops every cached bitmap; for callers that changed frames in place.
  void Changed();

private:
  TGIFHeader header_;
  std::vector<TGIFSubImage> images_;
  mutable std::unique_ptr<Bitmap> firstFrame_;
  mutable bool firstFrameDithered_ = false;
};

}  // namespace velk
