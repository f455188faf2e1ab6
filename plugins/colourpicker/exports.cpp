// The two procedures the viewer calls. Both run on the viewer's user-interface thread inside
// its QApplication: they open a window and return at once, so the viewer stays responsive.
#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <dlfcn.h>

#include "picker_window.h"
#include "settings_window.h"

namespace {

QPointer<colourpicker::PickerWindow> picker;
QPointer<colourpicker::SettingsWindow> settings;

// The settings live beside this library, wherever the viewer's plugins folder is.
QString SettingsFile() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&SettingsFile), &info) == 0 || !info.dli_fname) return {};
  return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath() + "/colourpicker.ini";
}

void Present(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void Startplugin() {
  if (!qApp) return;
  if (!picker) picker = new colourpicker::PickerWindow(SettingsFile());
  Present(picker);
}

extern "C" __attribute__((visibility("default"))) void Configureplugin() {
  if (!qApp) return;
  if (!settings)
    settings = new colourpicker::SettingsWindow(SettingsFile(), [] {
      if (picker) picker->ReloadSettings();
    });
  Present(settings);
}
