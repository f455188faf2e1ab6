#pragma once
// Shared set-up of the conversion and slide-show tests: a dialog over a recording host, the
// scripted dialogs service, test pictures, and the independent tools that read outputs back.
#include <QSlider>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "options/fake_options_host.h"
#include "options/options_form.h"
#include "platform/bitmap.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "platform/picture.h"
#include "support/pnm.h"
#include "support/temp_dir.h"

namespace velk::test {

// Remembers what the slide show put on the full-screen window.
class ShowRecordingHost : public FakeOptionsHost {
public:
  struct Shown {
    std::string caption;
    RGBQuad colour;  // of the picture's top-left pixel (black when empty)
  };
  void ShowFullScreen(const Picture& picture, const QString& caption) override {
    Picture copy = picture;
    const Bitmap& bitmap = copy.Bitmap();
    shown.push_back({caption.toStdString(), bitmap.Empty() ? RGBQuad{} : bitmap.PixelColor(0, 0)});
  }
  std::vector<Shown> shown;
};

// A bitmap of one colour, or (gradient) a smooth ramp that survives JPEG well.
inline Bitmap SolidBitmap(int width, int height, RGBQuad colour) {
  Bitmap bitmap(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + x * 3;
      p[0] = colour.blue, p[1] = colour.green, p[2] = colour.red;
    }
  return bitmap;
}
inline Bitmap GradientBitmap(int width, int height) {
  Bitmap bitmap(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + x * 3;
      p[0] = uint8_t(x * 255 / width), p[1] = uint8_t(y * 255 / height), p[2] = 128;
    }
  return bitmap;
}

// A tool from the PATH, "" when absent. ImageMagick's versioned binary first: the plain
// "convert" may be a wrapper.
inline std::string Tool(const std::vector<std::string>& names) {
  for (const auto& name : names)
    if (std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0) return name;
  return "";
}
inline std::string ImageMagick() { return Tool({"convert-im6.q16", "convert"}); }
inline int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

class ConvertFixture : public ::testing::Test {
protected:
  ConvertFixture() {
    host.settings.SetFirstRunDefaults(folder);
    options = std::make_unique<TOptions>(host, folder);
    dialogs->messages.clear();  // what the dialog's creation reported is not ours
  }
  std::string Bmp(const std::string& name, const Bitmap& bitmap) {
    const std::string path = dir.File(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    SaveBmpFile(bitmap, path);
    return path;
  }
  std::string Corrupt(const std::string& name) {
    dir.Write(name, "BM this is no bitmap");
    return dir.File(name);
  }
  std::string Out() {
    std::filesystem::create_directories(dir.File("out"));
    return dir.File("out");
  }

  TempDir dir;
  std::string folder = dir.Path() + "/";
  ShowRecordingHost host;
  ScopedScriptedDialogs dialogs;
  std::unique_ptr<TOptions> options;
};

}  // namespace velk::test
