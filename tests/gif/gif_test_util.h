#pragma once
// Building GIFs in memory and running outside decoders, for the GIF tests.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gif/gif_image_data.h"
#include "platform/bitmap.h"

namespace velk::test {

inline Bitmap IndexedBitmap(int width, int height, int bits, const std::vector<RGBQuad>& palette,
                            const std::function<int(int x, int y)>& index) {
  Bitmap bitmap(width, height, bits);
  bitmap.Palette() = palette;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const int v = index(x, y);
      switch (bits) {
        case 1:
          row[x / 8] |= uint8_t((v & 1) << (7 - x % 8));
          break;
        case 4:
          row[x / 2] |= uint8_t(x % 2 ? v & 15 : (v & 15) << 4);
          break;
        default:
          row[x] = uint8_t(v);
          break;
      }
    }
  }
  return bitmap;
}

// One frame of a GIF built in memory: no graphic control extension when delay < 0.
struct FrameSpec {
  int left = 0, top = 0, width = 1, height = 1;
  std::vector<TGIFColor> colors{};  // the local colour map; empty uses the global one
  std::function<int(int x, int y)> pixel = [](int, int) { return 0; };
  int delay = -1;
  int disposal = 0;
  int transparent = -1;
};

// A GIF of the given screen and frames; a loop extension before the first frame when loops >= 0.
inline GIFImageData MakeGif(int width, int height, const std::vector<TGIFColor>& global,
                            const std::vector<FrameSpec>& frames, int loops = -1) {
  GIFImageData gif;
  gif.MutableHeader().width = uint16_t(width);
  gif.MutableHeader().height = uint16_t(height);
  for (const TGIFColor& color : global) gif.MutableHeader().colorMap.Add(color);
  for (size_t i = 0; i < frames.size(); ++i) {
    const FrameSpec& wanted = frames[i];
    TGIFSubImage& frame = gif.AddImage();
    frame.SetBounds(wanted.left, wanted.top, wanted.width, wanted.height);
    for (const TGIFColor& color : wanted.colors) frame.MutableColorMap().Add(color);
    for (int y = 0; y < wanted.height; ++y)
      for (int x = 0; x < wanted.width; ++x)
        frame.MutableData()[size_t(y) * size_t(wanted.width) + size_t(x)] = uint8_t(wanted.pixel(x, y));
    if (i == 0 && loops >= 0) {
      auto loop = std::make_unique<TGIFAppExtNSLoop>();
      loop->loops = uint16_t(loops);
      frame.AddExtension(std::move(loop));
    }
    if (wanted.delay >= 0 || wanted.transparent >= 0 || wanted.disposal != 0) {
      auto control = std::make_unique<TGIFGraphicControlExtension>();
      control->delay = uint16_t(wanted.delay < 0 ? 0 : wanted.delay);
      control->disposal = uint8_t(wanted.disposal);
      control->transparent = wanted.transparent >= 0;
      control->transparentColorIndex = uint8_t(wanted.transparent < 0 ? 0 : wanted.transparent);
      frame.AddExtension(std::move(control));
    }
  }
  return gif;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline bool HaveTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The command's standard output; status gets its exit status.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int code = pclose(pipe);
    if (status) *status = code;
  } else if (status) {
    *status = -1;
  }
  return output;
}

}  // namespace velk::test
