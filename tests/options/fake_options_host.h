#pragma once
// An OptionsHost that records what the dialog asks of the main window.
#include <map>
#include <string>
#include <vector>

#include "image/jpeg_image.h"
#include "options/options_host.h"
#include "options/viewer_settings.h"
#include "platform/picture.h"
#include "platform/qimage_view.h"

namespace velk::test {

class FakeOptionsHost : public OptionsHost {
public:
  ViewerSettings settings;
  TJPEGImage jpeg;
  std::vector<std::string> calls;
  int zoom = -1;
  int file = -1;
  QStringList pluginItems{"Plugins Manager", "-"};

  ViewerSettings& Settings() override { return settings; }
  TCustomJPEGImage& MainJPEGImage() override { return jpeg; }
  void OnFileSelected() override { calls.push_back("FileListBox1Change"); }
  void OnZoomChanged() override { calls.push_back("ComboBox1Change"); }
  int ZoomIndex() const override { return zoom; }
  void SetZoomIndex(int index) override {
    zoom = index;
    calls.push_back("SetZoomIndex " + std::to_string(index));
  }
  void SetFileIndex(int index) override {
    file = index;
    calls.push_back("SetFileIndex " + std::to_string(index));
  }
  QStringList PluginMenuItems() const override { return pluginItems; }
  void SetPluginMenuItems(const QStringList& items) override { pluginItems = items; }
  void StartPlugin(const std::string& library, const std::string& procedure) override {
    calls.push_back("StartPlugin " + library + " " + procedure);
  }
  void TranslateMainWindow() override { calls.push_back("TranslateMainWindow"); }
  void ShowStatus(const QString& text) override { statuses.push_back(text.toStdString()); }
  std::vector<std::string> statuses;

  // The skin, recorded apart from the calls above.
  Picture skin;
  TColor transColor = 0x00FFFBF0;
  std::map<int, QImage> glyphs;  // entries given a glyph; the rest keep the built-in one
  std::vector<std::string> skinCalls;
  void LoadSkinPicture(const std::string& path) override {
    skin.LoadFromFile(path);
    skinCalls.push_back("LoadSkinPicture " + path);
  }
  Picture& SkinPicture() override { return skin; }
  void SetSkinTransColor(TColor colour) override { transColor = colour; }
  void ApplySkinShape() override {
    skinCalls.push_back("ApplySkinShape " + std::to_string(transColor));
  }
  void SetButtonGlyph(int entry, const Bitmap& glyph) override {
    glyphs[entry] = BitmapAsQImage(glyph).copy();
  }
  QImage ButtonGlyph(int entry) const override {
    const auto found = glyphs.find(entry);
    return found == glyphs.end() ? QImage() : found->second;
  }
  void ApplySkinColour(int tag, TColor colour) override {
    skinCalls.push_back("ApplySkinColour " + std::to_string(tag) + " " + std::to_string(colour));
  }
};

}  // namespace velk::test
