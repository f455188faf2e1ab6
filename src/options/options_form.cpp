#include "options/options_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHideEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QLineEdit>
#include <QSlider>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <filesystem>

#include "image/jpeg_image.h"
#include "options/convert_page.h"
#include "options/languages.h"
#include "options/options_keyboard.h"
#include "options/options_names.h"
#include "options/options_host.h"
#include "options/plugins_page.h"
#include "options/radio_group.h"
#include "options/skins_page.h"
#include "options/viewer_settings.h"
#include "options/volume_page.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"
#include "options/dialog_fit.h"
#include "platform/program_files.h"
#include "platform/window_place.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

// The tag a control carries for Menuclick and FormCreate; controls without one have tag 0.
int TagOf(const QObject* sender) {
  if (auto* button = qobject_cast<const TToolbarButton97*>(sender)) return button->Tag();
  if (auto* group = qobject_cast<const TRadioGroup*>(sender)) return group->Tag();
  return sender ? sender->property("Tag").toInt() : 0;
}

}  // namespace

TOptions::TOptions(OptionsHost& host, std::string programFolder, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      host_(host),
      programFolder_(std::move(programFolder)) {
  setObjectName("Options");
  setWindowTitle("Options");
  setFixedSize(kDesignSize);
  BuildFrame();
  BuildGeneralPage();
  BuildJpegPage();
  BuildVolumePage();
  BuildSkinsPages();
  BuildPluginsPage();
  BuildConvertPage();
  BuildSlideShowPage();
  BuildAboutPage();
  PluginsPage = new TPluginsPage(*this, host_);
  LanguagesPage = new TLanguagesPage(*this, host_);
  SkinsPage = new TSkinsPage(*this, host_);

  workingPicture = new TJPEGImage(this);
  workingPicture->setObjectName("JPEGImage1");
  workingPicture->SetLoading(true);  // design settings: nothing to decode yet
  workingPicture->SetNumOfColors(TNumOfColors::_256);
  workingPicture->SetDither(TDither::FS);
  workingPicture->SetDCTMethod(TDCTMethod::Integ);
  workingPicture->SetProgressStep(10);
  workingPicture->SetQuality(75);
  workingPicture->SetLoading(false);
  workingPicture->hide();

  ConnectOptionClicks();
  NameOptionsControls(*this);
  MakeKeyboardUsable(*this);
  pageTree->expandAll();
  FitToFont();
  // As for any handler: a failure's message, the rest of the sequence skipped, the dialog usable.
  RunShowingErrors([this] { FormCreate(this); });
}

void TOptions::ConnectOptionClicks() {
  // Check boxes raise their click on every change of state, by program too.
  for (QCheckBox* box :
       {greyBox, rememberFileBox, showOnStartBox, orientationBox, colourProfileBox})
    connect(box, &QCheckBox::toggled, this, [this, box] { Menuclick(box); });
  for (TRadioGroup* group : {coloursGroup, ditherGroup})
    connect(group, &TRadioGroup::Click, this, [this](QObject* sender) { Menuclick(sender); });
  connect(okButton, &QPushButton::clicked, this, [this] { Menuclick(okButton); });
  connect(restoreDefaultsButton, &TToolbarButton97::clicked, this,
          &TOptions::OnRestoreDefaultsClicked);
  connect(pageTree, &QTreeWidget::currentItemChanged, this, &TOptions::OnPageChosen);
}

void TOptions::ShowPage(int node) {
  // Opened over the main window, also where a window manager would put it elsewhere.
  if (!isVisible() && parentWidget()) {
    ensurePolished();
    CentreOver(*this, *parentWidget()->window());
  }
  show();
  raise();
  activateWindow();
  // A conversion run keeps its page in sight until it ends.
  if (auto* convert = findChild<TConvertPage*>("ConvertPage"); convert && convert->Running())
    return;
  if (QTreeWidgetItem* item = TreeItem(node)) pageTree->setCurrentItem(item);
  // Each opening starts the keyboard on the page tree, whatever had it when the dialog was
  // closed: Tab then goes into the page shown.
  pageTree->setFocus(Qt::OtherFocusReason);
}

QTreeWidgetItem* TOptions::TreeItem(int index) const {
  if (index < 0) return nullptr;
  for (QTreeWidgetItemIterator it(pageTree); *it; ++it)
    if (index-- == 0) return *it;
  return nullptr;
}

int TOptions::SelectedNode() const {
  int index = 0;
  for (QTreeWidgetItemIterator it(pageTree); *it; ++it, ++index)
    if (*it == pageTree->currentItem()) return index;
  return -1;
}

QWidget* TOptions::FindComponent(const QString& name) const {
  for (QWidget* child : findChildren<QWidget*>())
    if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
  return nullptr;
}

void TOptions::OnPageChosen() {
  for (int i = 1; i <= 10; ++i)
    if (QWidget* page = FindComponent(QString("panel%1").arg(i))) page->hide();
  const int selected = SelectedNode();
  for (int i = 1; i <= 10; ++i)
    if (selected == i)
      if (QWidget* page = FindComponent(QString("panel%1").arg(i))) page->show();
}

std::optional<TNumOfColors> ColoursChoice(int index) {
  static constexpr TNumOfColors kColours[] = {TNumOfColors::_16, TNumOfColors::_256,
                                              TNumOfColors::TrueColor};
  if (index < 0 || index > 2) return std::nullopt;
  return kColours[index];
}

void TOptions::ApplyEnablingRule() {
  showOnStartBox->setEnabled(rememberFileBox->isChecked());
  if (!showOnStartBox->isEnabled()) showOnStartBox->setChecked(false);
}

void TOptions::Menuclick(QObject* Sender) {
  switch (TagOf(Sender)) {
    case 1: {  // "Dither": takes effect at the next JPEG load
      const int index = ditherGroup->ItemIndex();
      if (index == 0 || index == 1) host_.Settings().Dither = index;
      host_.OnZoomChanged();
      break;
    }
    case 2:
      host_.MainJPEGImage().SetGrayScale(greyBox->isChecked());
      host_.OnFileSelected();
      break;
    case 3:
      if (const auto colours = ColoursChoice(coloursGroup->ItemIndex()))
        host_.MainJPEGImage().SetNumOfColors(*colours);
      host_.OnFileSelected();
      break;
    case 4:
      hide();
      break;
    case 8:
    case 9:  // how photos are shown and converted: the shown picture follows at once
      host_.Settings().Orientation = orientationBox->isChecked();
      host_.Settings().ColourProfiles = colourProfileBox->isChecked();
      ApplyPhotoSettings();
      host_.OnFileSelected();
      break;
    default:  // 6 and 7: the main window reads the boxes when it closes
      break;
  }
  ApplyEnablingRule();
}

void TOptions::ApplyPhotoSettings() {
  const ViewerSettings& settings = host_.Settings();
  for (TCustomJPEGImage* image :
       {&host_.MainJPEGImage(), static_cast<TCustomJPEGImage*>(workingPicture)}) {
    image->SetApplyOrientation(settings.Orientation);
    image->SetConvertProfile(settings.ColourProfiles);
  }
}

int TOptions::PluginCount() const { return PluginsPage->PluginCount(); }

std::array<int, kSchemeColourCount> TOptions::SchemeColours() const {
  return SkinsPage->Colours();
}

void TOptions::SetSchemeColour(int index, int colour) { SkinsPage->SetColour(index, colour); }

void TOptions::ReadSchemeColours() { SkinsPage->ReadColours(); }

void TOptions::FormCreate(QObject* Sender) {
  // The restore command passes its button (tag 1) to skip the steps marked full below.
  const bool full = TagOf(Sender) == 0;
  qualitySlider->setValue(workingPicture->Quality() / 10);  // no user signal: quality stays
  ApplyEnablingRule();
  std::error_code error;
  if (!std::filesystem::exists(ProgramFileToRead(programFolder_ + kSkinsFile), error))
    SkinsPage->Defaultsettings();
  SkinsPage->LoadSkinBitmaps();
  if (full) {
    LanguagesPage->FillLanguageBox();
    PluginsPage->LoadPluginList();
    VolumePage->Setup();  // without a mixer: its error box, then creation goes on
    // Each control whose state changes raises its click, pushing the settings into the main
    // window's JPEG control.
    ViewerSettings& settings = host_.Settings();
    ditherGroup->SetItemIndex(settings.Dither);
    coloursGroup->SetItemIndex(settings.Colours);
    greyBox->setChecked(settings.Grey);
    rememberFileBox->setChecked(settings.FileIndex);
    showOnStartBox->setChecked(settings.Showstart);
    {
      // Pushed straight into the JPEG controls: the file is shown once, below.
      const QSignalBlocker orientation(orientationBox), profiles(colourProfileBox);
      orientationBox->setChecked(settings.Orientation);
      colourProfileBox->setChecked(settings.ColourProfiles);
    }
    ApplyPhotoSettings();
  }
  host_.ApplySkinShape();
  ReadSchemeColours();  // each picker whose value changes paints its targets
  skinBitmapBox->setCurrentIndex(0);
  convertFormatBox->setCurrentIndex(0);
  SkinsPage->OnBitmapEntryChanged();
  host_.SetZoomIndex(host_.Settings().Zoom);
  host_.SetFileIndex(host_.Settings().Filename);
  if (showOnStartBox->isChecked()) host_.OnFileSelected();
  bitmapBoxFolder_ = programFolder_ + "skins";
  pluginBoxFolder_ = programFolder_ + "plugins";
}

void TOptions::FormActivate() { pageTree->expandAll(); }

void TOptions::FormHide() {
  ProfileFile skins(programFolder_ + kSkinsFile);
  skins.BeginUpdate();
  skins.WriteString("Settings", "Current Scheme", scheme_);
  const std::array<int, kSchemeColourCount> colours = SchemeColours();
  for (int i = 0; i < kSchemeColourCount; ++i)
    skins.WriteInteger(scheme_, kSchemeColourKeys[i], colours[i]);
  skins.EndUpdate();
  ProfileFile(programFolder_ + kPluginsFile)
      .WriteString("Settings", "Plugindir", host_.Settings().pluginsFolder);
}

void TOptions::OnRestoreDefaultsClicked() {
  const int zoom = host_.ZoomIndex();
  if (!AppDialogs().Confirm("Do you wish to restore the default settings?")) return;
  ProfileFile skins(programFolder_ + kSkinsFile);
  WriteRestoredSkin(skins, scheme_, programFolder_);
  FormCreate(restoreDefaultsButton);
  host_.SetZoomIndex(zoom);
}

void TOptions::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TOptions::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  if (event->type() == QEvent::FontChange) FitToFont();
}

void TOptions::FitToFont() { FitToTexts(*this, kDesignSize); }

}  // namespace velk
