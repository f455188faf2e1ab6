#pragma once
// The four decoders of the TIFF reader: each checks its tags in a fixed order, shows the first
// failing check's message and otherwise describes the image it found.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/tiff_file.h"
#include "platform/bitmap.h"

namespace velk {

// Everything needed to read one directory's pixels into a bitmap.
struct TiffImage {
  const TGraphicTiff* directory = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  int bits = 0;                  // of the bitmap: 1, 4, 8 or 24
  bool rgb = false;              // stored R,G,B to be turned into B,G,R
  bool reverseBits = false;      // FillOrder 2: each stored byte's bits in reverse order
  std::vector<RGBQuad> palette;  // 2^bits entries for palette depths
};

// One box with an OK button, as every reader message is shown; while a TiffMessages lives on
// the calling thread, the message is kept there instead (a load off the window's thread).
void ShowTiffMessage(const std::string& text);

class TiffMessages {
public:
  TiffMessages();
  ~TiffMessages();
  TiffMessages(const TiffMessages&) = delete;
  TiffMessages& operator=(const TiffMessages&) = delete;
  std::vector<std::string> Take() { return std::move(messages_); }

private:
  friend void ShowTiffMessage(const std::string& text);
  TiffMessages* outer_;
  std::vector<std::string> messages_;
};

// Runs the decoder that the photometric interpretation (0 to 3) and BitsPerSample choose, then
// the checks every decoder shares (strip table, size). nullopt when the directory is not to be
// decoded; a message has then been shown, except for nothing to decode.
std::optional<TiffImage> CheckTiffDirectory(const TGraphicTiff& directory, uint32_t photometric);

}  // namespace velk
