#include "app/main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QUrl>
#include <QFileInfo>
#include <QPainter>
#include <QScopedValueRollback>
#include <QThread>
#include <QWindow>
#include <cmath>
#include <tuple>
#include <utility>

#include "app/fullscreen_form.h"
#include "app/main_form_commands.h"
#include "app/main_form_keys.h"
#include "app/main_form_layout.h"
#include "app/picture_mouse.h"
#include "app/properties_text.h"
#include "app/scroll_box.h"
#include "app/start_plugin.h"
#include "app/window_position.h"
#include "app/zoom.h"
#include "chrome/g_progress.h"
#include "chrome/path_combo_box.h"
#include "app/first_run_launchers.h"
#include "chrome/shortcut_link.h"
#include "chrome/skin_art.h"
#include "chrome/trans_image.h"
#include "gif/gif_image.h"
#include "image/image_aspect.h"
#include "image/jpeg_image.h"
#include "image/loupe.h"
#include "image/loupe_form.h"
#include "image/tiff_decoders.h"
#include "options/about_page.h"
#include "options/options_form.h"
#include "options/radio_group.h"
#include "platform/atomic_file.h"
#include "platform/application.h"
#include "platform/errors.h"
#include "platform/dialogs.h"
#include "platform/file_path.h"
#include "platform/profile_file.h"
#include "platform/registry.h"
#include "platform/window_place.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
#include "widgets/file_mask.h"
#include "widgets/filter_combo_box.h"
#include "widgets/folder_listing.h"
#include "widgets/folder_path.h"
#include "widgets/hint_tracker.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

// ".jpeg" is listed beside ".jpg": both load alike ("*.tif*" already takes ".tiff").
constexpr const char* kFilterText =
    "All Supported Files|*.jpg;*.jpeg;*.bmp;*.gif;*.tif*;*.wmf;*.ico;*.emf;|All Files|*.*";
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

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  label->setPalette(palette);
  return label;
}

// Settings saved before the photo settings existed leave them on.
void ReadPhotoSettings(const Registry& registry, ViewerSettings& settings) {
  if (registry.ValueExists(kOrientationValue))
    settings.Orientation = registry.ReadBool(kOrientationValue);
  if (registry.ValueExists(kColourProfilesValue))
    settings.ColourProfiles = registry.ReadBool(kColourProfilesValue);
}

// The dither box takes effect at each load; its other entries keep the control's dither.
void ApplyDitherSetting(int dither, JpegDecodeOptions& options) {
  if (dither == 0) options.dither = TDither::Ordered;
  else if (dither == 1) options.dither = TDither::None;
}

}  // namespace

TMainform::TMainform(ViewerSettings& settings, TLoupeform* loupe, TFullscreenform* fullscreen,
                     MainformEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      loupe_(loupe),
      fullscreen_(fullscreen),
      environment_(std::move(environment)),
      ownLoader_(environment_.loader ? nullptr : std::make_unique<PictureLoader>()),
      loader_(environment_.loader ? environment_.loader : ownLoader_.get()) {
  AllowFittingOnLoads();
  setObjectName("Mainform");
  setWindowTitle("Velk's JPEG Viewer");
  setFixedSize(770, 542);
  QFont font("Tahoma");
  font.setPointSize(8);
  setFont(font);
  BuildControls();
  ConnectControls();
  if (!environment_.arguments.isEmpty()) {
    const QFileInfo file(environment_.arguments.first());
    if (file.isFile()) startFile_ = file.absoluteFilePath().toStdString();
  }
  if (fullscreen_) InstallKeysAndDrops(*this, *fullscreen_);
  InstallToolbarCommands(*this);
  InstallPictureMouse(*this);
  FileListBox1->setFocus();  // the first key browses the files, not the zoom box
  FormCreate();
}

TMainform::~TMainform() = default;

// ---- building ----

void TMainform::BuildControls() {
  // The skin picture under everything; it also gives the window its shape.
  TransImage1 = new TTransImage(this);
  TransImage1->setObjectName("TransImage1");
  TransImage1->SetAdjustFormSize(false);
  TransImage1->SetTransColor(0x00FFFBF0);
  // Not a control to the pointer: a press on the skin drags the window like the bare form.
  TransImage1->setAttribute(Qt::WA_TransparentForMouseEvents);
  // The title and toolbar panels stand over the skin in the scheme's colours.
  for (auto [panel, name, band] : {std::tuple{&Panel1, "Panel1", layout::kTitleBand},
                                   std::tuple{&Panel2, "Panel2", layout::kToolbarBand}}) {
    *panel = new QWidget(this);
    (*panel)->setObjectName(name);
    (*panel)->setGeometry(band);
    (*panel)->setAutoFillBackground(true);
    QPalette black = (*panel)->palette();
    black.setColor(QPalette::Window, Qt::black);
    (*panel)->setPalette(black);
  }
  Label12 = MakeLabel(this, "Label12", "Velk's JPEG Viewer", layout::kTitle);
  QFont title = Label12->font();
  title.setBold(true);
  Label12->setFont(title);
  BuildToolbar();
  BuildBrowser();
  BuildPropertiesPanel();
  BuildImageArea();
  Statusbar1 = MakeLabel(this, "Statusbar1", "", layout::kStatusLine);
  ProgressBar1 = new TGProgress(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setGeometry(layout::kProgressBar);
  ProgressBar1->setAttribute(Qt::WA_TransparentForMouseEvents);  // drags like the skin
  ProgressBar1->SetGradientBar(true);
  ProgressBar1->SetSolid(true);
  // Deep blue to light blue in a sunken slot like the skin's wells: black blocks on black
  // would not show on the default skin.
  ProgressBar1->SetColor(RGB(30, 70, 150));
  ProgressBar1->SetFrameColor1(RGB(8, 9, 12));
  ProgressBar1->SetFrameColor2(RGB(88, 96, 116));
  ProgressBar1->SetBackgroundColor(RGB(10, 11, 15));
  ProgressBar1->SetColorEnd(RGB(90, 170, 250));
  ProgressBar1->hide();
  ShortcutLink1 = std::make_unique<TShortcutLink>();
}

void TMainform::BuildToolbar() {
  auto button = [this](const char* name, const char* caption, const char* hint, QRect geometry) {
    auto* b = new TToolbarButton97(this);
    b->setObjectName(name);
    b->SetCaption(caption);
    b->SetHint(hint);
    b->setGeometry(geometry);
    return b;
  };
  ToolbarButton978 = button("ToolbarButton978", "_", "Minimize", layout::kMinimizeButton);
  ToolbarButton979 = button("ToolbarButton979", "x", "Close", layout::kCloseButton);
  int x = layout::kToolbarLeft;
  // The built-in glyphs; a skin may replace them.
  auto tool = [&](const char* name, const char* hint, GlyphKind glyph, int glyphs) {
    auto* b = button(name, "", hint, QRect(x, layout::kToolbarTop, layout::kToolbarButtonSize,
                                           layout::kToolbarButtonSize));
    b->SetGlyph(GlyphStrip(glyph, glyphs));
    b->SetNumGlyphs(glyphs);
    x += layout::kToolbarButtonSize + 3;
    return b;
  };
  ToolbarButton971 = tool("ToolbarButton971", "Execute file", GlyphKind::Open, 1);
  ToolbarButton973 = tool("ToolbarButton973", "Clear screen", GlyphKind::Clear, 2);
  ToolbarButton974 = tool("ToolbarButton974", "Refresh", GlyphKind::Refresh, 2);
  ToolbarButton975 = tool("ToolbarButton975", "Full screen", GlyphKind::FullScreen, 2);
  x += 8;
  ToolbarButton977 = tool("ToolbarButton977", "Show or hide the Loupe", GlyphKind::Loupe, 1);
  ToolbarButton976 = tool("ToolbarButton976", "Options", GlyphKind::Options, 1);
  ToolbarButton9710 = tool("ToolbarButton9710", "Set volume", GlyphKind::Volume, 1);
  ToolbarButton9713 = tool("ToolbarButton9713", "Skins Manager", GlyphKind::Skins, 1);
  OptionBox971 = new TOptionBox(this);
  OptionBox971->setObjectName("OptionBox971");
  OptionBox971->Button()->SetGlyph(GlyphStrip(GlyphKind::Plugin, 1));
  OptionBox971->Button()->SetHint("Plugins manager");
  OptionBox971->Button()->SetTag(0);
  OptionBox971->setGeometry(x, layout::kToolbarTop, layout::kToolbarButtonSize + 12,
                            layout::kToolbarButtonSize);
  x += layout::kToolbarButtonSize + 15;
  OptionBox971->SetItems({"Plugins Manager", "-"});
  ToolbarButton9712 = tool("ToolbarButton9712", "Conversion tool", GlyphKind::Convert, 1);
  ToolbarButton9714 = tool("ToolbarButton9714", "Slide Show", GlyphKind::SlideShow, 1);
  x += 8;
  ToolbarButton972 = tool("ToolbarButton972", "About Velk's JPEG Viewer", GlyphKind::About, 1);
  for (auto* b : {ToolbarButton971, ToolbarButton973, ToolbarButton974, ToolbarButton975})
    b->setEnabled(false);
  const std::pair<TToolbarButton97*, int> tags[] = {
      {ToolbarButton971, 1}, {ToolbarButton973, 5}, {ToolbarButton974, 8}, {ToolbarButton975, 7},
      {ToolbarButton977, 14}, {ToolbarButton976, 12}, {ToolbarButton972, 10}};
  for (const auto& [b, tag] : tags) b->SetTag(tag);

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems(ZoomEntries());
  ComboBox1->setCurrentIndex(-1);  // the design selects nothing: pictures show at 100 %
  ComboBox1->setToolTip("Set the zoom");
  ComboBox1->setGeometry(layout::kZoomBox);
}

void TMainform::BuildBrowser() {
  PathComboBox1 = new TPathComboBox(this);
  PathComboBox1->setObjectName("PathComboBox1");
  PathComboBox1->setToolTip("Choose a drive");
  PathComboBox1->setGeometry(layout::kDriveBox);

  DirectoryListBox1 = new TDirectoryListBox(this);
  DirectoryListBox1->setObjectName("DirectoryListBox1");
  DirectoryListBox1->setToolTip("Choose a directory");
  DirectoryListBox1->setGeometry(layout::kFolderList);

  FileListBox1 = new TFileListBox(this);
  FileListBox1->setObjectName("FileListBox1");
  FileListBox1->setToolTip("Display a file");
  FileListBox1->setGeometry(layout::kFileList);
  DirectoryListBox1->SetFileList(FileListBox1);

  FilterComboBox1 = new TFilterComboBox(this);
  FilterComboBox1->setObjectName("FilterComboBox1");
  FilterComboBox1->setToolTip("Set the file filter");
  FilterComboBox1->SetFilter(kFilterText);
  FilterComboBox1->setGeometry(layout::kFilterBox);
}

void TMainform::BuildPropertiesPanel() {
  Label11 = MakeLabel(this, "Label11", "File Properties...", QRect(8, 408, 220, 14));
  QFont heading = Label11->font();
  heading.setBold(true);
  Label11->setFont(heading);
  const char* captions[] = {"File Name:", "Location:", "Size:", "File Type:", "Modified:"};
  QLabel** captionLabels[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
  QLabel** valueLabels[] = {&Label6, &Label7, &Label8, &Label9, &Label10};
  const char* valueNames[] = {"Label6", "Label7", "Label8", "Label9", "Label10"};
  const char* initial[] = {"", "", "0B", "(none)", "0/0/00"};
  for (int i = 0; i < 5; ++i) {
    const int y = 426 + i * 17;
    *captionLabels[i] = MakeLabel(this, ("Label" + std::to_string(i + 1)).c_str(), captions[i],
                                  QRect(8, y, 60, 13));
    *valueLabels[i] = MakeLabel(this, valueNames[i], initial[i], QRect(68, y, 169, 13));
  }
  Label6->setFixedWidth(169);
  Label7->adjustSize();
}

void TMainform::BuildImageArea() {
  ScrollBox1 = new ScrollBox(this);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setGeometry(layout::kImageArea);
  QPalette area = ScrollBox1->palette();
  area.setColor(QPalette::Window, QColor(24, 26, 34));  // the picture's surround until a skin
  ScrollBox1->setPalette(area);
  ScrollBox1->viewport()->setAutoFillBackground(true);
  ScrollBox1->Client()->setAutoFillBackground(true);
  ImageAspect1 = new TImageAspect(ScrollBox1->Client());
  ImageAspect1->setObjectName("ImageAspect1");
  ImageAspect1->SetAlign(TAlign::Client);
  JPEGImage1 = new TJPEGImage(ScrollBox1->Client());
  JPEGImage1->setObjectName("JPEGImage1");
  JPEGImage1->SetNumOfColors(TNumOfColors::TrueColor);
  JPEGImage1->SetDCTMethod(TDCTMethod::Integ);
  JPEGImage1->SetDither(TDither::FS);
  JPEGImage1->SetProgressStep(1);
  JPEGImage1->SetQuality(75);
  JPEGImage1->SetAlign(TAlign::Client);
  // The viewer shows a damaged photo as far as it decodes (the status line says so); the
  // converter's control keeps failing at the first warning.
  JPEGImage1->SetTolerateWarnings(true);
}

void TMainform::ConnectControls() {
  connect(PathComboBox1, &TPathComboBox::OnChange, this, [this] {
    DirectoryListBox1->SetDirectory(PathComboBox1->Path());
  });
  connect(DirectoryListBox1, &TDirectoryListBox::OnChange, this, [this] {
    PathComboBox1->SetPath(DirectoryListBox1->Directory());
  });
  connect(FileListBox1, &TFileListBox::OnChange, this, [this] {
    if (!quietSelection_) FileListBox1Change();
  });
  FileListBox1->setProperty("Tag", 7);  // a double-click shows the file full screen
  connect(FileListBox1, &TFileListBox::OnDblClick, this, [this] { MenuClick(FileListBox1); });
  for (auto* b : {ToolbarButton971, ToolbarButton973, ToolbarButton974, ToolbarButton975,
                  ToolbarButton977, ToolbarButton976, ToolbarButton972})
    connect(b, &QAbstractButton::clicked, this, [this, b] { MenuClick(b); });
  const std::pair<TToolbarButton97*, int> pages[] = {
      {ToolbarButton9710, 3}, {ToolbarButton9713, 4}, {ToolbarButton9712, 8}, {ToolbarButton9714, 9}};
  for (const auto& [b, node] : pages)
    connect(b, &QAbstractButton::clicked, this, [this, node = node] { OpenPage(node); });
  connect(OptionBox971, &TOptionBox::OnButtonClick, this, [this](QObject* s) { pihandler(s); });
  connect(OptionBox971, &TOptionBox::OnItemClick, this, [this](int index) { plugmenu(index); });
  connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
  connect(JPEGImage1, &TCustomJPEGImage::OnProgress, this, [this] { JPEGImage1Progress(); });
  connect(loader_, &PictureLoader::Progress, this, [this] {
    // The bar comes up once a decode has taken a frame: showing and hiding it for a quicker
    // one would only repaint the skin under it.
    if (ProgressBar1->isHidden()) {
      if (progressFrame_.elapsed() < kProgressFrameMs) {
        ProgressBar1->SetPosition(ProgressBar1->Position() + 1);
        return;
      }
      ProgressBar1->show();
    }
    JPEGImage1Progress();
  });
  connect(loader_, &PictureLoader::Ready, this, [this](const LoadedPointer& loaded) { Present(loaded); });
  connect(ToolbarButton978, &QAbstractButton::clicked, this, [this] { ToolbarButton978Click(); });
  connect(ToolbarButton979, &QAbstractButton::clicked, this, [this] { close(); });
}

// ---- start-up and settings ----

void TMainform::FormCreate() {
  gif_ = std::make_shared<TGIFImage>();
  // A language file that cannot be read costs its texts, not the settings.
  RunShowingErrors([this] { TranslateMainWindow(); });
  // Hints of the control under the mouse go to the status line.
  hints_ = new HintTracker(this);
  connect(hints_, &HintTracker::OnHint, this, &TMainform::ShowHint);
  JPEGImage1->SetDither(TDither::Ordered);
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
        DirectoryListBox1->SetDirectory(settings_.Directory);
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
    FilterComboBox1->SetItemIndex(settings_.Filter);
    settings_.FileIndex = registry.ReadBool("FileIndex");
    settings_.Filename = registry.ReadInteger("Filename");
    settings_.Showstart = registry.ReadBool("Showstart");
    settings_.skindir = registry.ReadString("skindir");
    settings_.lint = registry.ReadInteger("lint");
    ReadPhotoSettings(registry, settings_);
    RestoreWindowPosition(*this, registry);
  }
  JPEGImage1->SetApplyOrientation(settings_.Orientation);
  JPEGImage1->SetConvertProfile(settings_.ColourProfiles);
  if (FilterComboBox1->ItemIndex() == 0) FileListBox1->SetMask(kSupportedMask);
  else if (FilterComboBox1->ItemIndex() == 1) FileListBox1->SetMask("*.*");
  ApplyLoupeSettings();
  FilterComboBox1->SetFileList(FileListBox1);
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
  ShortcutLink1->SetTarget(environment_.programPath);
  ShortcutLink1->SetWorkingDir(environment_.programFolder);
  // "Open with" hands the launcher files; the icon is the one the package puts in the theme.
  ShortcutLink1->SetArguments("%F");
  ShortcutLink1->SetIconLocation("velkview");
  ShortcutLink1->SetIconNumber(0);
  ShortcutLink1->SetDescription(kLauncherComment);
  ShortcutLink1->SetMimeTypes(kLauncherMimeTypes);
  for (const FirstRunLauncher& launcher : FirstRunLaunchers(
           environment_.programsFolder, environment_.desktopFolder, environment_.entryFolders)) {
    ShortcutLink1->SetShortcutFile(launcher.file);
    ShortcutLink1->SetName(launcher.name);
    try {
      ShortcutLink1->SaveLink();
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
  DirectoryListBox1->SetDirectory(file.absolutePath().toStdString());
}

void TMainform::SelectQuietly(const std::function<void()>& select) {
  const QScopedValueRollback quiet(quietSelection_, true);
  select();
}

void TMainform::FinishStartup() {
  if (startFile_.empty()) return;
  const std::string file = std::exchange(startFile_, {});
  // Shown already (or its message) when the options showed the selected file at their creation.
  const bool shown = loadedFile_ == file && FileListBox1->FileName() == file;
  if (!shown) SelectQuietly([&] { FileListBox1->SetFileName(file); });
  // "Restore Default Settings" comes back to this file, as to a restored one.
  settings_.Filename = FileListBox1->ItemIndex();
  if (!shown) FileListBox1Change();
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
  settings_.Zoom = ComboBox1->currentIndex();
  const int fileIndex = FileListBox1->ItemIndex();
  settings_.Directory = DirectoryListBox1->Directory();
  settings_.Loupe = loupe_->isVisible();
  settings_.Filter = FilterComboBox1->ItemIndex();
  if (options_) {
    settings_.FileIndex = options_->CheckBox3->isChecked();
    settings_.Showstart = options_->CheckBox4->isChecked();
    settings_.Grey = options_->CheckBox1->isChecked();
    settings_.Colours = options_->RadioGroup1->ItemIndex();
    settings_.Dither = options_->RadioGroup2->ItemIndex();
    settings_.Orientation = options_->CheckBox5->isChecked();
    settings_.ColourProfiles = options_->CheckBox6->isChecked();
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

void TMainform::ShowHint(const QString& hint) {
  Statusbar1->setText(hint.isEmpty() ? pictureStatus_ : hint);
}

void TMainform::SetPictureStatus(const QString& text) {
  pictureStatus_ = text;
  Statusbar1->setText(text);
}

void TMainform::ShowFullScreen() {
  ShowFullScreen(JPEGImage1->GetPicture(), QString::fromStdString(FileListBox1->FileName()));
}

void TMainform::ShowFullScreenWhenLoaded() {
  if (loader_->Loading()) fullScreenFollows_ = true;
  else ShowFullScreen();
}

// ---- commands ----

void TMainform::SetOptionsDialog(TOptions* options) {
  options_ = options;
  if (options_) ShowKeysOnAboutPage(options_->Memo1, KeysHtml(*this));
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
      const std::string path = FileListBox1->FileName();
      if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
        AppDialogs().ShowError("Could not execute " + path);
      break;
    }
    case 3:
      close();
      break;
    case 5:
      JPEGImage1->GetPicture().SetBitmap(Bitmap());
      ImageAspect1->SetPicture(Picture());
      ToolbarButton975->setEnabled(false);
      break;
    case 7:
      if (JPEGImage1->GetPicture().Height() != 0) ShowFullScreen();
      break;
    case 8:
      FileListBox1Change();
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

void TMainform::ToolbarButton978Click() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible()) window->showMinimized();
}

// ---- what the options dialog reaches ----

TCustomJPEGImage& TMainform::MainJPEGImage() { return *JPEGImage1; }
int TMainform::ZoomIndex() const { return ComboBox1->currentIndex(); }
void TMainform::SetZoomIndex(int index) { ComboBox1->setCurrentIndex(index); }
void TMainform::SetFileIndex(int index) {
  // Only selects: the options decide whether the file is shown. A file named on the command
  // line stands in for the remembered index.
  SelectQuietly([&] {
    if (startFile_.empty()) FileListBox1->SetItemIndex(index);
    else FileListBox1->SetFileName(startFile_);
  });
}
QStringList TMainform::PluginMenuItems() const { return OptionBox971->Items(); }
void TMainform::SetPluginMenuItems(const QStringList& items) { OptionBox971->SetItems(items); }
void TMainform::ShowFullScreen(const Picture& picture, const QString& caption) {
  // The monitor the main window stands on, at that monitor's place and size.
  if (const QRect monitor = MonitorOf(frameGeometry(), MonitorGeometries()); !monitor.isEmpty())
    fullscreen_->setGeometry(monitor);
  fullscreen_->ShowPicture(picture, caption);
}

void TMainform::StartPlugin(const std::string& library, const std::string& procedure) {
  velk::StartPlugin(library, procedure);
}

// ---- browsing and display ----

void TMainform::SetFileButtonsEnabled(bool enabled) {
  for (auto* b : {ToolbarButton971, ToolbarButton973, ToolbarButton974, ToolbarButton975})
    b->setEnabled(enabled);
}

LoadRequest TMainform::RequestFor(const std::string& path) const {
  LoadRequest request;
  request.path = path;
  request.jpeg = JPEGImage1->DecodeOptions();
  ApplyDitherSetting(settings_.Dither, request.jpeg);
  request.progressStep = JPEGImage1->ProgressStep();
  request.applyOrientation = settings_.Orientation;
  request.convertProfile = settings_.ColourProfiles;
  // "To fit" shows the picture over the whole image area (no frame, no scroll bars).
  if (ComboBox1->currentIndex() == kZoomToFit) {
    request.fitArea = ScrollBox1->size();
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

void TMainform::FileListBox1Change() {
  if (presenting_) {
    // Asked again while a picture is put on screen (a box shown meanwhile): shown afterwards.
    selectionPending_ = true;
    return;
  }
  const std::string path = FileListBox1->FileName();
  const int index = FileListBox1->ItemIndex();
  if (shownIndex_ >= 0 && index >= 0 && index != shownIndex_) travel_ = index < shownIndex_ ? -1 : 1;
  const LoadRequest request = RequestFor(path);
  if (KindOf(path) == FileKind::Unsupported) {
    loader_->CancelWanted();
    Present(std::make_shared<const LoadedPicture>(LoadPicture(request)));
    return;
  }
  if (LoadedPointer ready = loader_->TakeReady(request)) {
    loader_->CancelWanted();
    Present(ready);
    return;
  }
  if (QThread::currentThread()->loopLevel() == 0) {
    // Before the event loop runs (start-up) and for callers without one, the picture is
    // there when this returns.
    loader_->CancelWanted();
    Present(loader_->Wait(request));
    return;
  }
  // The window goes on taking input; the picture on screen stays until this one is ready.
  ProgressBar1->hide();
  ProgressBar1->SetPosition(0);
  progressFrame_.start();
  // Only what stays next to the new place is worth its memory while the new picture decodes.
  loader_->Retain(NeighboursOf(index));
  loader_->Want(request);
}

void TMainform::Present(const LoadedPointer& loaded) {
  {
    const QScopedValueRollback presenting(presenting_, true);
    JPEGImage1->GetPicture().Clear();
    gif_ = std::make_shared<TGIFImage>();
    const std::string& path = loaded->request.path;
    Label6->setToolTip(QString::fromStdString(ExtractFileName(path)));
    SetFileButtonsEnabled(!path.empty());
    Label7->setToolTip(QString::fromStdString(ExtractFilePath(path)));
    for (QLabel* label : {Label6, Label7, Label8, Label9, Label10}) label->clear();
    ScrollBox1->setAccessibleDescription(QString());
    Label7->adjustSize();  // the label sizes itself to its text until it grows too wide
    loadedFile_.clear();
    SetPictureStatus("");
    ProgressBar1->hide();
    shownIndex_ = FileListBox1->ItemIndex();
    if (loaded->kind == FileKind::Unsupported) {
      // Nothing to show (another folder, no selection): the pictures kept ready are let go.
      loader_->Retain({});
    } else {
      // The fitted copy stays on screen until the new picture replaces it.
      ImageAspect1->ReleasePictureKeepingView();
      loadedFile_ = path;  // tried, whether or not it loads: start-up asks for it once
      bool failed = false;
      try {
        AdoptPicture(*loaded);
        offeredFit_ = {loaded->fitted, loaded->fittedTarget, JPEGImage1->GetPicture().Generation()};
      } catch (const std::exception& error) {
        // The loader's message; the panel stays blank and the picture empty, the fitted copy
        // too, so what is on screen agrees with the panel.
        JPEGImage1->GetPicture().Clear();
        ImageAspect1->SetPicture(Picture());
        SetPictureStatus(unreadableText_ + ": " + QString::fromStdString(MessageOf(error)));
        ShowException(error);
        failed = true;
      }
      if (!failed) {
        FillProperties(path);
        ComboBox1Change();
      }
      PreloadNeighbours(loaded);
    }
    if (std::exchange(fullScreenFollows_, false) && fullscreen_ && fullscreen_->isVisible())
      ShowFullScreen();
  }
  if (std::exchange(selectionPending_, false)) FileListBox1Change();
}

void TMainform::AdoptPicture(const LoadedPicture& loaded) {
  const std::string& path = loaded.request.path;
  switch (loaded.kind) {
    case FileKind::Jpeg: {
      std::string warning = loaded.warning;
      if (loaded.error) {
        // A file that does not decode shows an empty picture and its properties; only the
        // status line tells why.
        try {
          std::rethrow_exception(loaded.error);
        } catch (const std::exception& error) {
          SetPictureStatus(unreadableText_ + ": " + QString::fromStdString(MessageOf(error)));
        }
        warning.clear();
      }
      JPEGImage1->AdoptFile(path, loaded.bytes, loaded.request.jpeg, loaded.progressEvents,
                            loaded.picture, warning);
      // A damaged file shows what libjpeg made of it, and the status line says why.
      if (!warning.empty())
        SetPictureStatus(damagedText_ + ": " + QString::fromStdString(warning));
      break;
    }
    case FileKind::Gif:
      if (loaded.gif) gif_ = loaded.gif;
      if (loaded.error) std::rethrow_exception(loaded.error);
      JPEGImage1->GetPicture().AssignGraphic(*gif_);
      break;
    case FileKind::Bitmap:
    case FileKind::Tiff:
      for (const std::string& message : loaded.messages) ShowTiffMessage(message);
      if (loaded.error) std::rethrow_exception(loaded.error);
      JPEGImage1->GetPicture().Assign(loaded.picture);
      break;
    case FileKind::Unsupported:
      break;
  }
}

std::vector<LoadRequest> TMainform::NeighboursOf(int index) {
  std::vector<LoadRequest> neighbours;
  for (const int step : {travel_, -travel_}) {
    const std::string path = FileListBox1->EntryPath(index + step);
    if (KindOf(path) != FileKind::Unsupported) neighbours.push_back(RequestFor(path));
  }
  return neighbours;
}

void TMainform::PreloadNeighbours(const LoadedPointer& shown) {
  const int index = FileListBox1->ItemIndex();
  const bool selected = index >= 0 && FileListBox1->EntryPath(index) == shown->request.path;
  loader_->Preload(shown, selected ? NeighboursOf(index) : std::vector<LoadRequest>{});
}

void TMainform::FillProperties(const std::string& path) {
  Label6->setText(QString::fromStdString(ExtractFileName(path)));
  Label7->setText(QString::fromStdString(FileListBox1->Directory()));
  Label7->adjustSize();
  if (Label7->width() > 150) Label7->resize(150, 13);  // clipped; the hint has it all

  const QFileInfo info(QString::fromStdString(path));
  if (info.exists()) {
    Label10->setText(DateTimeText(info.lastModified(), QLocale::system()));
    Label8->setText(FileSizeText(info.size(), QLocale::system()));
  } else {
    Label8->setText("0B");  // the file went away after it was listed
  }
  const Picture& picture = JPEGImage1->GetPicture();
  Label8->setText(Label8->text() +
                  QString(" (%1 x %2)").arg(picture.Width()).arg(picture.Height()));
  const std::string ext = LowerFileExt(path);
  if (ext == "bmp") Label9->setText("Bitmap Image");
  else if (ext == "jpg" || ext == "jpeg") Label9->setText("JPEG Image");
  else if (ext == "gif") Label9->setText("Gif Image");
  ScrollBox1->setAccessibleDescription(Label6->text() + ", " + Label8->text());
}

void TMainform::ComboBox1Change() {
  JPEGImage1->show();
  ImageAspect1->hide();
  ScrollBox1->SetAutoScroll(false);
  const int h = JPEGImage1->GetPicture().Height();
  const int w = JPEGImage1->GetPicture().Width();
  JPEGImage1->SetAlign(TAlign::None);
  JPEGImage1->setGeometry(0, 0, w, h);
  JPEGImage1->SetStretch(true);
  const int index = ComboBox1->currentIndex();
  if (index >= 0 && index <= kZoom10) {
    QSize zoomed = ZoomedSize(index, w, h);
    // On high-density screens 100 % is one picture pixel per device pixel.
    const qreal ratio = devicePixelRatioF();
    if (ratio != 1) zoomed = (QSizeF(zoomed) / ratio).toSize();
    JPEGImage1->setGeometry(0, 0, zoomed.width(), zoomed.height());
  } else if (index == kZoomToFit) {
    if (ScrollBox1->height() - 4 < JPEGImage1->height() ||
        ScrollBox1->width() - 4 < JPEGImage1->width()) {
      JPEGImage1->hide();
      ImageAspect1->show();
      ImageAspect1->SetPicture(Picture());
      ImageAspect1->SetPicture(JPEGImage1->GetPicture());
      if (offeredFit_.generation == JPEGImage1->GetPicture().Generation())
        ImageAspect1->OfferFitted(offeredFit_.image, offeredFit_.target);
    }
  } else if (index == kZoomStretch) {
    JPEGImage1->SetAlign(TAlign::Client);
  }
  if (index <= kZoom10) ScrollBox1->SetAutoScroll(true);
  ScrollBox1->UpdateClientSize();
  if (h == 0) ToolbarButton975->setEnabled(false);
  ProgressBar1->SetPosition(0);
  ProgressBar1->hide();
}

void TMainform::JPEGImage1Progress() {
  // Each screen update of the bar waits for the display server (a round trip): at one per
  // percent that cost more than decoding a small photo. The position follows every event, the
  // screen at most once a frame, so what the eye sees is the same.
  const bool frameDue = !progressFrame_.isValid() || progressFrame_.elapsed() >= kProgressFrameMs;
  ProgressBar1->setUpdatesEnabled(frameDue);
  ProgressBar1->SetPosition(ProgressBar1->Position() + 1);
  ProgressBar1->setUpdatesEnabled(true);  // before hiding: a hidden bar's area is repainted
  if (ProgressBar1->Position() == 100) ProgressBar1->hide();
  if (frameDue) {
    ProgressBar1->repaint();
    progressFrame_.start();
  }
}

// ---- look and dragging ----

void TMainform::paintEvent(QPaintEvent*) {
  // "Main Form Colour", where no skin picture covers the form.
  QPainter painter(this);
  painter.fillRect(rect(), formColour_);
}

void TMainform::mousePressEvent(QMouseEvent* event) {
  // The client area drags the window wherever no control takes the press: the skin, the
  // panels and the labels pass it on to here.
  if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
  QWidget::mousePressEvent(event);
}

}  // namespace velk
