#pragma once
// The program's windows made as the program makes them, over a temporary program folder that
// holds the colour picker, for tests on a real X server.
#include <filesystem>
#include <memory>
#include <string>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "image/loupe_form.h"
#include "options/options_form.h"
#include "support/temp_dir.h"

namespace velk::test {

struct ProgramWindows {
  // pluginsIni: a plugin list put into the program folder first; empty for none.
  explicit ProgramWindows(const std::string& pluginsIni = {}) {
    namespace fs = std::filesystem;
    fs::create_directories(folder + "plugins");
    fs::copy(fs::path(VELK_COLOURPICKER).parent_path(), folder + "plugins/colourpicker",
             fs::copy_options::recursive);
    if (!pluginsIni.empty()) fs::copy_file(pluginsIni, folder + "plugins.ini");
    environment.programFolder = folder;
    environment.hivePath = dir.Path() + "/hkcu.reg";
    mainform = std::make_unique<TMainform>(settings, &loupe, &fullscreen, environment);
    options = std::make_unique<TOptions>(*mainform, folder, mainform.get());
    mainform->SetOptionsDialog(options.get());
  }

  TempDir dir;
  std::string folder = dir.Path() + "/program/";
  ViewerSettings settings;
  TLoupeform loupe;
  TFullscreenform fullscreen;
  MainformEnvironment environment;
  std::unique_ptr<TMainform> mainform;
  std::unique_ptr<TOptions> options;
};

}  // namespace velk::test
