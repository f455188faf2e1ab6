// The main window's whole load step over any bytes: written as a file in the listed folder and
// selected in the file list, which runs what a user's selection runs (loading by kind, the
// properties panel, the zoom). Bytes that begin as a JPEG, bitmap, GIF or TIFF are written
// under that kind's name only; any others under all four names, so every loader also meets
// what is not its own. The window lives on Qt's offscreen platform; messages go to the
// scripted dialogs.
#include <sys/stat.h>

#include <QCoreApplication>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "fuzz_temp_dir.h"
#include "image/loupe_form.h"
#include "picture_limits.h"
#include "platform/application.h"
#include "platform/atomic_file.h"
#include "platform/dialogs.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"

namespace {

// Sorted as the file list sorts them, so entry i is kNames[i].
constexpr const char* kNames[] = {"a.jpg", "b.bmp", "c.gif", "d.tif"};

struct Viewer {
  std::string root = FuzzTempDir("main-window-fuzz");
  std::string pictures = root + "pictures/";
  int argc = 1;
  char name[8] = "velkfuz";
  char* argv[2] = {name, nullptr};
  std::unique_ptr<velk::Application> app;
  velk::ViewerSettings settings;
  std::unique_ptr<velk::TLoupeform> loupe;
  std::unique_ptr<velk::TFullscreenform> fullscreen;
  std::unique_ptr<velk::TMainform> form;

  Viewer() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<velk::Application>(argc, argv);
    for (const char* folder : {"pictures", "program", "programs", "desktop", "config"})
      if (::mkdir((root + folder).c_str(), 0700) != 0) std::abort();
    for (const char* file : kNames) velk::WriteFileAtomically(pictures + file, std::string("x"));
    const velk::MainformEnvironment environment =
        velk::MainformEnvironment::InFolder(root.substr(0, root.size() - 1));
    loupe = std::make_unique<velk::TLoupeform>();
    fullscreen = std::make_unique<velk::TFullscreenform>();
    form = std::make_unique<velk::TMainform>(settings, loupe.get(), fullscreen.get(), environment);
    form->FinishStartup();
    form->folderList->SetDirectory(pictures.substr(0, pictures.size() - 1));
    form->fileList->SetMask("*.*");
    if (form->fileList->Items().size() != std::size(kNames)) std::abort();
  }
};

// The entry of kNames the bytes' signature belongs to, or -1.
int KindBySignature(const uint8_t* data, size_t size) {
  auto startsWith = [&](const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
  };
  if (startsWith("\xFF\xD8", 2)) return 0;
  if (startsWith("BM", 2)) return 1;
  if (startsWith("GIF", 3)) return 2;
  if (startsWith("II", 2) || startsWith("MM", 2)) return 3;
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz::PictureWithinLimit(data, size)) return 0;
  velk::ScopedScriptedDialogs dialogs;  // fresh each run, so recorded messages never pile up
  static Viewer* viewer = new Viewer;   // kept to the end: the window outlives every input
  const int kind = KindBySignature(data, size);
  for (size_t i = 0; i < std::size(kNames); ++i) {
    if (kind >= 0 && int(i) != kind) continue;
    if (!velk::WriteFileAtomically(viewer->pictures + kNames[i], data, size)) std::abort();
    viewer->form->fileList->SetItemIndex(int(i));  // runs OnFileSelected
  }
  QCoreApplication::processEvents();  // what an animated GIF's painter has posted
  viewer->form->fileList->SetItemIndex(-1);  // so the next input's selection is a change
  return 0;
}
