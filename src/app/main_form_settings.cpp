// The main window's start-up and its settings: read from the registry at creation, written
// back at closing, and what a load asks for under them.
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <utility>

#include "app/first_run_launchers.h"
#include "app/main_form.h"
#include "app/main_form_layout.h"
#include "app/scroll_box.h"
#include "app/window_position.h"
#include "app/zoom.h"
#include "chrome/shortcut_link.h"
#include "gif/gif_image.h"
#include "image/jpeg_image.h"
#include "image/loupe.h"
#include "image/loupe_form.h"
#include "options/options_form.h"
#include "options/radio_group.h"
#include "platform/application.h"
#include "platform/errors.h"
#include "platform/file_path.h"
#include "platform/registry.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
#include "widgets/file_mask.h"
#include "widgets/filter_combo_box.h"
#include "widgets/folder_listing.h"
#include "widgets/folder_path.h"
#include "widgets/hint_tracker.h"

namespace velk {

namespace {

constexpr const char* kSupportedMask = "*.jpg;*.jpeg;*.bmp;*.gif;*.tif*;*.wmf;*.ico;*.emf;";

// The zoom in its shortest decimal form ("1", "1.5", "10").
QString ShortestDecimal(double value) { return QString::number(value, 'g', 15); }

// The framework's conversion of a text to a floating-point number.
double TextToFloat(const std::string& text) {
  bool ok = false;
  const double value = QString::fromStdString(text).trimmed().toDouble(&ok);
  if (!ok || text.empty()) throw EVelkError("'" + text + "' is not a valid floating point value");
  return value;
}

// Settings saved before the photo settings existed leave them on.
void ReadPhotoSettings(const Registry& registry, ViewerSettings& settings) {
  if (registry.ValueExists(kOrientationValue))
    settings.Orientation = registry.ReadBool(kOrientationValue);
  if (registry.ValueExists(kColourProfilesValue))
    settings.ColourProfiles = registry.ReadBool(kColourProfilesValue);
}

std::string RecentFolderValue(int n) { return kRecentFolderValue + std::to_string(n + 1); }

void ReadRecentFolders(const Registry& registry, ViewerSettings& settings) {
  settings.RecentFolders.clear();
  for (int n = 0; n < kRecentFolderCount; ++n)
    if (registry.ValueExists(RecentFolderValue(n)))
      if (std::string folder = registry.ReadString(RecentFolderValue(n)); !folder.empty())
        settings.RecentFolders.push_back(std::move(folder));
}

// The dither box takes effect at each load; its other entries keep the control's dither.
void ApplyDitherSetting(int dither, JpegDecodeOptions& options) {
  if (dither == 0) options.dither = TDither::Ordered;
  else if (dither == 1) options.dither = TDither::None;
}

}  // namespace

void TMainform::FormCreate() {
  gif_ = std::make_shared<TGIFImage>();
  // A language file that cannot be read costs its texts, not the settings.
  RunShowingErrors([this] { TranslateMainWindow(); });
  // Hints of the control under the mouse go to the status line.
  hints_ = new HintTracker(this);
  connect(hints_, &HintTracker::OnHint, this, &TMainform::ShowHint);
  pictureView->SetDither(TDither::Ordered);
  // A value that fails and everything after it keep what they had; the rest of the start-up
  // steps are skipped, and the program goes on.
  RunShowingErrors([this] { RestoreSettings(); });
}

void TMainform::RestoreSettings() {
  Registry registry(environment_.hivePath);
  if (!registry.KeyExists(kSettingsKey)) {
    MakeShortcuts();
    settings_.SetFirstRunDefaults(environment_.programFolder);
  } else {
    registry.OpenKey(std::string(kSettingsKey) + "\\", true);
    settings_.Directory = registry.ReadString("Directory");
    if (!settings_.Directory.empty()) {
      try {
        folderList->SetDirectory(settings_.Directory);
      } catch (const EVelkError&) {
        // A remembered folder that is gone leaves the folder list where it starts.
      }
    }
    settings_.Grey = registry.ReadBool("Grey");
    settings_.Dither = registry.ReadInteger("Dither");
    settings_.Colours = registry.ReadInteger("Colours");
    settings_.Zoom = registry.ReadInteger("Zoom");
    settings_.Loupe = registry.ReadBool("Loupe");
    loupe_->setVisible(settings_.Loupe);
    loupe_->loupe()->SetZoomLevel(TextToFloat(registry.ReadString("Loupezoom")));
    settings_.Filter = registry.ReadInteger("Filter");
    filterBox->SetItemIndex(settings_.Filter);
    settings_.FileIndex = registry.ReadBool("FileIndex");
    settings_.Filename = registry.ReadInteger("Filename");
    settings_.Showstart = registry.ReadBool("Showstart");
    settings_.skindir = registry.ReadString("skindir");
    settings_.lint = registry.ReadInteger("lint");
    ReadPhotoSettings(registry, settings_);
    ReadRecentFolders(registry, settings_);
    RestoreWindowPosition(*this, registry);
  }
  pictureView->SetApplyOrientation(settings_.Orientation);
  pictureView->SetConvertProfile(settings_.ColourProfiles);
  if (filterBox->ItemIndex() == 0) fileList->SetMask(kSupportedMask);
  else if (filterBox->ItemIndex() == 1) fileList->SetMask("*.*");
  ApplyLoupeSettings();
  filterBox->SetFileList(fileList);
  OpenCommandLineFile();
}

void TMainform::ApplyLoupeSettings() {
  for (int i = 1; i <= 6; ++i)
    if (QAction* item = loupe_->FindItem("S" + QString::number(i))) item->setChecked(false);
  static const int kIntervals[] = {100, 250, 500, 750, 1000};
  const int lint = settings_.lint;
  if (lint >= 1 && lint <= 5) loupe_->loupe()->SetInterval(kIntervals[lint - 1]);
  if (lint == 6) loupe_->loupe()->SetActive(!loupe_->loupe()->Active());
  if (lint >= 1 && lint <= 6)
    if (QAction* item = loupe_->FindItem("S" + QString::number(lint))) item->setChecked(true);
  if (QAction* zoom = loupe_->FindItem("N" + ShortestDecimal(loupe_->loupe()->ZoomLevel()) + "001"))
    zoom->setChecked(true);
}

void TMainform::MakeShortcuts() {
  launcherLink->SetTarget(environment_.programPath);
  launcherLink->SetWorkingDir(environment_.programFolder);
  // "Open with" hands the launcher files; the icon is the one the package puts in the theme.
  launcherLink->SetArguments("%F");
  launcherLink->SetIconLocation("velkview");
  launcherLink->SetIconNumber(0);
  launcherLink->SetDescription(kLauncherComment);
  launcherLink->SetMimeTypes(kLauncherMimeTypes);
  for (const FirstRunLauncher& launcher : FirstRunLaunchers(
           environment_.programsFolder, environment_.desktopFolder, environment_.entryFolders)) {
    launcherLink->SetShortcutFile(launcher.file);
    launcherLink->SetName(launcher.name);
    try {
      launcherLink->SaveLink();
    } catch (const EVelkError& error) {
      // Shown, but the first run still gets its settings.
      ShowException(error);
    }
  }
}

void TMainform::OpenCommandLineFile() {
  // The folder now; the file is selected and shown once at the end of start-up, so the
  // settings pushed into the JPEG control meanwhile do not decode it again and again.
  if (startFile_.empty()) return;
  const QFileInfo file(QString::fromStdString(startFile_));
  folderList->SetDirectory(file.absolutePath().toStdString());
  if (givenFiles_.size() > 1) fileList->SetFiles(givenFiles_);
}

void TMainform::FinishStartup() {
  if (startFile_.empty()) return;
  const std::string file = std::exchange(startFile_, {});
  // Shown already (or its message) when the options showed the selected file at their creation.
  const bool shown = loadedFile_ == file && fileList->FileName() == file;
  if (!shown) SelectQuietly([&] { fileList->SetFileName(file); });
  // "Restore Default Settings" comes back to this file, as to a restored one.
  settings_.Filename = fileList->ItemIndex();
  if (!shown) OnFileSelected();
}

int TMainform::CheckedLoupeSpeed() const {
  int lint = settings_.lint;
  for (int i = 1; i <= 6; ++i)
    if (QAction* item = loupe_->FindItem("S" + QString::number(i)); item && item->isChecked())
      lint = i;
  return lint;
}

bool TMainform::FormClose() {
  settings_.lint = CheckedLoupeSpeed();
  settings_.Zoom = zoomBox->currentIndex();
  const int fileIndex = fileList->FolderIndex();
  settings_.Directory = folderList->Directory();
  settings_.Loupe = loupe_->isVisible();
  settings_.Filter = filterBox->ItemIndex();
  if (options_) {
    settings_.FileIndex = options_->rememberFileBox->isChecked();
    settings_.Showstart = options_->showOnStartBox->isChecked();
    settings_.Grey = options_->greyBox->isChecked();
    settings_.Colours = options_->coloursGroup->ItemIndex();
    settings_.Dither = options_->ditherGroup->ItemIndex();
    settings_.Orientation = options_->orientationBox->isChecked();
    settings_.ColourProfiles = options_->colourProfileBox->isChecked();
  }
  try {
    Registry registry(environment_.hivePath);
    if (!registry.OpenKey(kSettingsKey, true))
      throw EVelkError(FormatMessage(kFailedToSetData, "Directory"));
    registry.BeginUpdate();  // all values or none
    registry.WriteString("Directory", settings_.Directory);
    registry.WriteBool("Grey", settings_.Grey);
    registry.WriteInteger("Dither", settings_.Dither);
    registry.WriteInteger("Colours", settings_.Colours);
    registry.WriteInteger("Zoom", settings_.Zoom);
    registry.WriteBool("Loupe", settings_.Loupe);
    registry.WriteString("Loupezoom", ShortestDecimal(loupe_->loupe()->ZoomLevel()).toStdString());
    registry.WriteInteger("Filter", settings_.Filter);
    registry.WriteBool("FileIndex", settings_.FileIndex);
    registry.WriteBool("Showstart", settings_.Showstart);
    registry.WriteString("skindir", settings_.skindir);
    registry.WriteBool("skinny", false);
    registry.WriteInteger("lint", settings_.lint);
    registry.WriteBool(kOrientationValue, settings_.Orientation);
    registry.WriteBool(kColourProfilesValue, settings_.ColourProfiles);
    for (int n = 0; n < kRecentFolderCount; ++n)
      registry.WriteString(RecentFolderValue(n), size_t(n) < settings_.RecentFolders.size()
                                                     ? settings_.RecentFolders[size_t(n)]
                                                     : std::string());
    settings_.Filename = settings_.FileIndex ? fileIndex : 0;
    registry.WriteInteger("Filename", settings_.Filename);
    WriteWindowPosition(*this, registry);
    registry.EndUpdate();
  } catch (const std::exception& error) {
    ShowException(error);
    return false;
  }
  return true;
}

void TMainform::closeEvent(QCloseEvent* event) {
  if (FormClose()) event->accept();
  else event->ignore();  // a value could not be saved: the window stays open
}

LoadRequest TMainform::RequestFor(const std::string& path) const {
  LoadRequest request;
  request.path = path;
  request.jpeg = pictureView->DecodeOptions();
  ApplyDitherSetting(settings_.Dither, request.jpeg);
  request.progressStep = pictureView->ProgressStep();
  request.applyOrientation = settings_.Orientation;
  request.convertProfile = settings_.ColourProfiles;
  // "To fit" shows the picture over the whole image area (no frame, no scroll bars).
  if (zoomBox->currentIndex() == kZoomToFit) {
    request.fitArea = imageArea->size();
    request.pixelRatio = devicePixelRatioF();
  }
  return request;
}

LoadRequest TMainform::StartRequest(const std::string& hivePath, const std::string& path) {
  ViewerSettings settings;
  settings.SetFirstRunDefaults("");
  try {
    Registry registry(hivePath);
    if (registry.KeyExists(kSettingsKey) && registry.OpenKey(kSettingsKey, false)) {
      settings.Grey = registry.ReadBool("Grey");
      settings.Dither = registry.ReadInteger("Dither");
      settings.Colours = registry.ReadInteger("Colours");
      settings.Zoom = registry.ReadInteger("Zoom");
      ReadPhotoSettings(registry, settings);
    }
  } catch (const std::exception&) {
    // Only a guess: the window reads the settings again, and a wrong guess costs one decode.
  }
  // As the window's JPEG control is set up, then the options dialog pushes its boxes into it.
  LoadRequest request;
  request.path = path;
  request.jpeg.numOfColors = ColoursChoice(settings.Colours).value_or(TNumOfColors::TrueColor);
  request.jpeg.dctMethod = TDCTMethod::Integ;
  request.jpeg.dither = TDither::Ordered;
  ApplyDitherSetting(settings.Dither, request.jpeg);
  request.jpeg.grayScale = settings.Grey;
  request.jpeg.applyOrientation = request.applyOrientation = settings.Orientation;
  request.jpeg.convertProfile = request.convertProfile = settings.ColourProfiles;
  request.jpeg.tolerateWarnings = true;
  request.progressStep = 1;
  // The image area has no frame; screens scaled by Qt make the window reject this copy.
  if (settings.Zoom == kZoomToFit) request.fitArea = layout::kImageArea.size();
  return request;
}

std::string TMainform::RememberedStartFile(const std::string& hivePath) {
  try {
    Registry registry(hivePath);
    if (!registry.KeyExists(kSettingsKey) || !registry.OpenKey(kSettingsKey, false)) return {};
    if (!registry.ReadBool("FileIndex") || !registry.ReadBool("Showstart")) return {};
    const std::string folder = registry.ReadString("Directory");
    const int filter = registry.ReadInteger("Filter");
    const int index = registry.ReadInteger("Filename");
    if (folder.empty() || index < 0 || (filter != 0 && filter != 1)) return {};
    // A big folder is left to the file list, which reads it off this thread.
    int batches = 0;
    bool big = false;
    const std::vector<std::string> names =
        ListFiles(folder, FileMask(filter == 0 ? kSupportedMask : "*.*"),
                  [&] { return big = ++batches > 8; });
    if (big || size_t(index) >= names.size()) return {};
    return JoinPath(QString::fromStdString(folder), QString::fromStdString(names[size_t(index)]))
        .toStdString();
  } catch (const std::exception&) {
    return {};  // only a guess, as above
  }
}

}  // namespace velk
