// The toolbar's actions by the tag of the control that fired, the plugin menu, and what the
// options dialog reaches in the main window.
#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "app/main_form_commands.h"
#include "app/start_plugin.h"
#include "image/image_aspect.h"
#include "image/jpeg_image.h"
#include "image/loupe_form.h"
#include "options/about_page.h"
#include "options/options_form.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"
#include "platform/window_place.h"
#include "widgets/file_list_box.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {

void TMainform::SetOptionsDialog(TOptions* options) {
  options_ = options;
  if (options_) ShowKeysOnAboutPage(options_->creditsText, KeysHtml(*this));
}

void TMainform::OpenPage(int node) {
  if (options_) options_->ShowPage(node);
}

void TMainform::MenuClick(QObject* sender) {
  int tag = 0;
  if (auto* button = qobject_cast<TToolbarButton97*>(sender)) tag = button->Tag();
  else if (sender) tag = sender->property("Tag").toInt();
  switch (tag) {
    case 1: {
      const std::string path = fileList->FileName();
      if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
        AppDialogs().ShowError("Could not execute " + path);
      break;
    }
    case 3:
      close();
      break;
    case 5:
      pictureView->GetPicture().SetBitmap(Bitmap());
      fitView->SetPicture(Picture());
      fullScreenButton->setEnabled(false);
      break;
    case 7:
      if (pictureView->GetPicture().Height() != 0) ShowFullScreen();
      break;
    case 8:
      OnFileSelected();
      break;
    case 10:
      OpenPage(10);
      break;
    case 12:
      OpenPage(0);
      break;
    case 14:
      loupe_->setVisible(!loupe_->isVisible());
      break;
    default:
      break;
  }
}

void TMainform::pihandler(QObject* sender) {
  auto* button = qobject_cast<TToolbarButton97*>(sender);
  if (button && button->Tag() == 0) OpenPage(7);
}

void TMainform::plugmenu(int index) {
  if (index == 0) OpenPage(7);
  if (index <= 1) return;
  const ProfileFile plugins(environment_.programFolder + "plugins.ini");
  const std::string section = "Plugin" + std::to_string(index - 2);
  // The program's own plugins folder, whatever folder the options name.
  const std::string library = environment_.programFolder + "plugins/" +
                              plugins.ReadString(section, "Directory", "") +
                              plugins.ReadString(section, "Filename", "");
  StartPlugin(library, "Startplugin");
}

void TMainform::OnMinimizeClicked() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible()) window->showMinimized();
}


TCustomJPEGImage& TMainform::MainJPEGImage() { return *pictureView; }
int TMainform::ZoomIndex() const { return zoomBox->currentIndex(); }
void TMainform::SetZoomIndex(int index) { zoomBox->setCurrentIndex(index); }
void TMainform::SetFileIndex(int index) {
  // Only selects: the options decide whether the file is shown. A file named on the command
  // line stands in for the remembered index.
  SelectQuietly([&] {
    if (startFile_.empty()) fileList->SetItemIndex(index);
    else fileList->SetFileName(startFile_);
  });
}
QStringList TMainform::PluginMenuItems() const { return pluginMenuButton->Items(); }
void TMainform::SetPluginMenuItems(const QStringList& items) { pluginMenuButton->SetItems(items); }
void TMainform::ShowFullScreen(const Picture& picture, const QString& caption) {
  // The monitor the main window stands on, at that monitor's place and size.
  if (const QRect monitor = MonitorOf(frameGeometry(), MonitorGeometries()); !monitor.isEmpty())
    fullscreen_->setGeometry(monitor);
  fullscreen_->ShowPicture(picture, caption);
}

void TMainform::StartPlugin(const std::string& library, const std::string& procedure) {
  velk::StartPlugin(library, procedure);
}

}  // namespace velk
