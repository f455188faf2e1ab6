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
  setFixedSize(490, 319);
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

  JPEGImage1 = new TJPEGImage(this);
  JPEGImage1->setObjectName("JPEGImage1");
  JPEGImage1->SetLoading(true);  // design settings: nothing to decode yet
  JPEGImage1->SetNumOfColors(TNumOfColors::_256);
  JPEGImage1->SetDither(TDither::FS);
  JPEGImage1->SetDCTMethod(TDCTMethod::Integ);
  JPEGImage1->SetProgressStep(10);
  JPEGImage1->SetQuality(75);
  JPEGImage1->SetLoading(false);
  JPEGImage1->hide();

  ConnectOptionClicks();
  NameOptionsControls(*this);
  MakeKeyboardUsable(*this);
  TreeView1->expandAll();
  // As for any handler: a failure's message, the rest of the sequence skipped, the dialog usable.
  RunShowingErrors([this] { FormCreate(this); });
}

void TOptions::ConnectOptionClicks() {
  // Check boxes raise their click on every change of state, by program too.
  for (QCheckBox* box : {CheckBox1, CheckBox3, CheckBox4, CheckBox5, CheckBox6})
    connect(box, &QCheckBox::toggled, this, [this, box] { Menuclick(box); });
  for (TRadioGroup* group : {RadioGroup1, RadioGroup2})
    connect(group, &TRadioGroup::Click, this, [this](QObject* sender) { Menuclick(sender); });
  connect(ExplorerButton1, &QPushButton::clicked, this, [this] { Menuclick(ExplorerButton1); });
  connect(ToolbarButton974, &TToolbarButton97::clicked, this, &TOptions::ToolbarButton974Click);
  connect(TreeView1, &QTreeWidget::currentItemChanged, this, &TOptions::TreeView1Change);
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
  if (QTreeWidgetItem* item = TreeItem(node)) TreeView1->setCurrentItem(item);
  // Each opening starts the keyboard on the page tree, whatever had it when the dialog was
  // closed: Tab then goes into the page shown.
  TreeView1->setFocus(Qt::OtherFocusReason);
}

QTreeWidgetItem* TOptions::TreeItem(int index) const {
  if (index < 0) return nullptr;
  for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
    if (index-- == 0) return *it;
  return nullptr;
}

int TOptions::SelectedNode() const {
  int index = 0;
  for (QTreeWidgetItemIterator it(TreeView1); *it; ++it, ++index)
    if (*it == TreeView1->currentItem()) return index;
  return -1;
}

QWidget* TOptions::FindComponent(const QString& name) const {
  for (QWidget* child : findChildren<QWidget*>())
    if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
  return nullptr;
}

void TOptions::TreeView1Change() {
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
  CheckBox4->setEnabled(CheckBox3->isChecked());
  if (!CheckBox4->isEnabled()) CheckBox4->setChecked(false);
}

void TOptions::Menuclick(QObject* Sender) {
  switch (TagOf(Sender)) {
    case 1: {  // "Dither": takes effect at the next JPEG load
      const int index = RadioGroup2->ItemIndex();
      if (index == 0 || index == 1) host_.Settings().Dither = index;
      host_.ComboBox1Change();
      break;
    }
    case 2:
      host_.MainJPEGImage().SetGrayScale(CheckBox1->isChecked());
      host_.FileListBox1Change();
      break;
    case 3:
      if (const auto colours = ColoursChoice(RadioGroup1->ItemIndex()))
        host_.MainJPEGImage().SetNumOfColors(*colours);
      host_.FileListBox1Change();
      break;
    case 4:
      hide();
      break;
    case 8:
    case 9:  // how photos are shown and converted: the shown picture follows at once
      host_.Settings().Orientation = CheckBox5->isChecked();
      host_.Settings().ColourProfiles = CheckBox6->isChecked();
      ApplyPhotoSettings();
      host_.FileListBox1Change();
      break;
    default:  // 6 and 7: the main window reads the boxes when it closes
      break;
  }
  ApplyEnablingRule();
}

void TOptions::ApplyPhotoSettings() {
  const ViewerSettings& settings = host_.Settings();
  for (TCustomJPEGImage* image : {&host_.MainJPEGImage(), static_cast<TCustomJPEGImage*>(JPEGImage1)}) {
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
  TrackBar2->setValue(JPEGImage1->Quality() / 10);  // no user signal: quality stays
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
    RadioGroup2->SetItemIndex(settings.Dither);
    RadioGroup1->SetItemIndex(settings.Colours);
    CheckBox1->setChecked(settings.Grey);
    CheckBox3->setChecked(settings.FileIndex);
    CheckBox4->setChecked(settings.Showstart);
    {
      // Pushed straight into the JPEG controls: the file is shown once, below.
      const QSignalBlocker orientation(CheckBox5), profiles(CheckBox6);
      CheckBox5->setChecked(settings.Orientation);
      CheckBox6->setChecked(settings.ColourProfiles);
    }
    ApplyPhotoSettings();
  }
  host_.ApplySkinShape();
  ReadSchemeColours();  // each picker whose value changes paints its targets
  ComboBox972->setCurrentIndex(0);
  ComboBox973->setCurrentIndex(0);
  SkinsPage->ComboBox972Change();
  host_.SetZoomIndex(host_.Settings().Zoom);
  host_.SetFileIndex(host_.Settings().Filename);
  if (CheckBox4->isChecked()) host_.FileListBox1Change();
  bitmapBoxFolder_ = programFolder_ + "skins";
  pluginBoxFolder_ = programFolder_ + "plugins";
}

void TOptions::FormActivate() { TreeView1->expandAll(); }

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

void TOptions::ToolbarButton974Click() {
  const int zoom = host_.ZoomIndex();
  if (!AppDialogs().Confirm("Do you wish to restore the default settings?")) return;
  ProfileFile skins(programFolder_ + kSkinsFile);
  WriteRestoredSkin(skins, scheme_, programFolder_);
  FormCreate(ToolbarButton974);
  host_.SetZoomIndex(zoom);
}

void TOptions::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TOptions::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

}  // namespace velk
