// Writing GIFImageData as a GIF file.
#include <algorithm>
#include <ostream>

#include "gif/gif_bytes.h"
#include "gif/gif_image_data.h"
#include "platform/atomic_file.h"

namespace velk {

std::vector<uint8_t> GIFImageData::SaveToBytes() const {
  if (images_.empty()) throw GIFException(gif_messages::kUnsupportedVersion);
  // GIF89a only for what GIF87a lacks: sorted colour maps and extensions.
  bool needs89a = false;
  int bits = header_.colorMap.BitsPerPixel();
  for (const TGIFSubImage& image : images_) {
    const TGIFColorMap& colors = image.ActiveColorMap(header_);
    needs89a = needs89a || colors.Optimized() || !image.Extensions().empty();
    bits = std::max(bits, colors.BitsPerPixel());
  }
  const int sizeBits = std::max(bits - 1, 0);

  std::vector<uint8_t> bytes;
  GIFByteWriter writer(bytes);
  writer.Bytes(needs89a ? "GIF89a" : "GIF87a", 6);
  writer.Word(header_.width);
  writer.Word(header_.height);
  uint8_t packed = uint8_t(sizeBits << 4 | sizeBits);
  const bool global = !header_.colorMap.Empty();
  if (global)
    packed |= TGIFHeader::kGlobalColorMapFlag |
              (header_.colorMap.Optimized() ? TGIFHeader::kSortedFlag : 0);
  writer.Byte(packed);
  writer.Byte(header_.backgroundIndex);
  writer.Byte(header_.aspectRatio);
  // The size bits cover the largest map of the file, so the global map is padded to match them.
  if (global) header_.colorMap.Save(writer, sizeBits + 1);
  for (const TGIFSubImage& image : images_) image.Save(writer, header_);
  writer.Byte(';');
  return bytes;
}

void GIFImageData::SaveToStream(std::ostream& stream) const {
  const std::vector<uint8_t> bytes = SaveToBytes();
  stream.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void GIFImageData::SaveToFile(const std::string& path) const {
  const std::vector<uint8_t> bytes = SaveToBytes();
  if (!WriteFileAtomically(path, bytes)) throw EFileError("Cannot create file \"" + path + "\".");
}

}  // namespace velk
