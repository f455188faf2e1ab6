// The two procedures the viewer calls. Both run on the viewer's user-interface thread inside
// its QApplication: they open a window and return at once, so the viewer stays responsive.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <dlfcn.h>
#include <unistd.h>

#include "picker_window.h"
#include "settings_window.h"

namespace {

QPointer<colourpicker::PickerWindow> picker;
QPointer<colourpicker::SettingsWindow> settings;

// The settings live beside this library, wherever the viewer's plugins folder is; an
// installed copy's folder cannot be written, and then each user keeps them where the viewer
// keeps its own per-user files: $XDG_CONFIG_HOME/velkview/plugins/colourpicker/.
QString SettingsFile() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&SettingsFile), &info) == 0 || !info.dli_fname) return {};
  const QString folder = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
  if (::access(QFile::encodeName(folder).constData(), W_OK) == 0)
    return folder + "/colourpicker.ini";
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/velkview/plugins/colourpicker/colourpicker.ini";
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
