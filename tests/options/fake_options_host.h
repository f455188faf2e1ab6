#pragma once
// An OptionsHost that records what the dialog asks of the main window.
#include <string>
#include <vector>

#include "image/jpeg_image.h"
#include "options/options_host.h"
#include "options/viewer_settings.h"

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
  void FileListBox1Change() override { calls.push_back("FileListBox1Change"); }
  void ComboBox1Change() override { calls.push_back("ComboBox1Change"); }
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
};

}  // namespace velk::test
