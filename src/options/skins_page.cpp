#include "options/skins_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <filesystem>

#include "chrome/color_combo_box.h"
#include "image/image_aspect.h"
#include "options/named_control.h"
#include "options/options_form.h"
#include "options/options_host.h"
#include "platform/dialogs.h"
#include "platform/picture.h"
#include "platform/profile_file.h"

namespace velk {

const std::array<const char*, kSkinBitmapCount> kSkinBitmapKeys = {
    "Main Form Skin",
    "Open Toolbar Button Glyph",
    "Clear Toolbar Button Glyph",
    "Refresh Toolbar Button Glyph",
    "Full Screen Toolbar Button Glyph",
    "Loupe Toolbar Button Glyph",
    "Options Toolbar Button Glyph",
    "Volume Toolbar Button Glyph",
    "Skins Toolbar Button Glyph",
    "Plugin Toolbar Button Glyph",
    "Convert Toolbar Button Glyph",
    "Slide Show Toolbar Button Glyph",
    "About Toolbar Button Glyph"};

namespace {

constexpr std::array<int, kSchemeColourCount> kPickerTags = {1, 2, 3, 4, 5, 7, 8, 10};

// Default files by entry, relative to the program's folder.
constexpr std::array<const char*, kSkinBitmapCount> kDefaultFiles = {
    "skins/vlkskin1.bmp", "skins/open.bmp",     "skins/clear2.bmp",      "skins/retry2.bmp",
    "skins/full.bmp",     "skins/mglass.bmp",   "skins/properties.bmp",  "skins/speaker.bmp",
    "skins/skins.bmp",    "skins/plugin.bmp",   "skins/convert.bmp",     "skins/slideshow.bmp",
    "skins/smallsmiley.bmp"};

// The first run writes only these ten; skins, convert and slide show keep their built-in
// glyphs until "Restore Default Settings" writes all thirteen.
constexpr int kFirstRunEntries[] = {0, 1, 2, 3, 4, 6, 7, 5, 12, 9};
constexpr int kLoadOrder[] = {0, 12, 9, 5, 7, 6, 4, 3, 2, 8, 10, 11, 1};

const QRect kPreviewRect(8, 20, 293, 182);

}  // namespace

TSkinsPage::TSkinsPage(TOptions& options, OptionsHost& host)
    : QObject(&options), options_(options), host_(host) {
  setObjectName("SkinsPage");
  QWidget* colours = options.Panels[4];
  // The longest captions ("Main Form Transparent Colour:") need the room up to the pickers.
  for (QLabel* label : colours->findChildren<QLabel*>()) label->resize(190, label->height());
  for (int i = 0; i < kSchemeColourCount; ++i) {
    const QByteArray name = "ColorComboBox" + QByteArray::number(kPickerTags[i]);
    auto* box = NamedControl<TColorComboBox>(colours, name.constData(),
                                             QRect(200, 7 + i * 30, 117, 22));
    box->setProperty("Tag", kPickerTags[i]);
    connect(box, &TColorComboBox::OnChange, this, &TSkinsPage::OnColourChanged);
    colourBoxes[i] = box;
  }

  QWidget* bitmaps = options.Panels[5];
  skinBitmapBox = options.skinBitmapBox;
  chooseBitmapButton = bitmaps->findChild<TToolbarButton97*>("ToolbarButton973");
  auto* preview = bitmaps->findChild<QGroupBox*>("GroupBox1");
  bitmapPreview = NamedControl<TImageAspect>(preview, "ImageAspect1", kPreviewRect);
  glyphPreview = NamedControl<QLabel>(preview, "Image3", kPreviewRect);
  glyphPreview->setAlignment(Qt::AlignCenter);
  // A user's choice only: selecting by program raises no change.
  connect(skinBitmapBox, &QComboBox::activated, this, &TSkinsPage::OnBitmapEntryChanged);
  connect(chooseBitmapButton, &TToolbarButton97::clicked, this, &TSkinsPage::OnChooseBitmapClicked);
}

std::string TSkinsPage::SkinsIni() const { return options_.ProgramFolder() + kSkinsFile; }

void TSkinsPage::Defaultsettings() {
  ProfileFile skins(SkinsIni());
  const std::string& scheme = options_.SchemeName();
  skins.BeginUpdate();
  for (int i = 0; i < kSchemeColourCount; ++i)
    skins.WriteInteger(scheme, kSchemeColourKeys[i], kRestoredColours[i]);
  for (int entry : kFirstRunEntries)
    skins.WriteString(scheme, kSkinBitmapKeys[entry],
                      options_.ProgramFolder() + kDefaultFiles[entry]);
  skins.EndUpdate();
}

bool TSkinsPage::LoadEntry(int entry, const std::string& path) {
  try {
    if (entry == 0) {
      host_.LoadSkinPicture(path);
    } else {
      Picture glyph;
      glyph.LoadFromFile(path);
      host_.SetButtonGlyph(entry, glyph.Bitmap());
    }
    return true;
  } catch (const std::exception&) {
    return false;  // not a picture we can read: the target keeps what it shows
  }
}

void TSkinsPage::LoadSkinBitmaps() {
  const ProfileFile skins(SkinsIni());
  for (int entry : kLoadOrder) {
    const std::string path = skins.ReadString(options_.SchemeName(), kSkinBitmapKeys[entry], "");
    std::error_code error;
    if (!path.empty() && std::filesystem::is_regular_file(path, error)) LoadEntry(entry, path);
  }
}

void TSkinsPage::ReadColours() {
  const ProfileFile skins(SkinsIni());
  for (int i = 0; i < kSchemeColourCount; ++i)
    SetColour(i, skins.ReadInteger(options_.SchemeName(), kSchemeColourKeys[i],
                                   kRestoredColours[i]));
}

std::array<int, kSchemeColourCount> TSkinsPage::Colours() const {
  std::array<int, kSchemeColourCount> colours{};
  for (int i = 0; i < kSchemeColourCount; ++i) colours[i] = int(colourBoxes[i]->ColorValue());
  return colours;
}

void TSkinsPage::SetColour(int index, int colour) {
  colourBoxes.at(index)->SetColorValue(TColor(colour));
}

void TSkinsPage::OnColourChanged(QObject* Sender) {
  auto* box = qobject_cast<TColorComboBox*>(Sender);
  if (!box) return;
  const int tag = box->property("Tag").toInt();
  const TColor colour = box->ColorValue();
  switch (tag) {
    case 8:
      host_.SetSkinTransColor(colour);
      host_.ApplySkinShape();
      break;
    case 1: case 2: case 3: case 4: case 5: case 7: case 10:
      host_.ApplySkinColour(tag, colour);
      break;
    default:
      break;
  }
}

void TSkinsPage::OnBitmapEntryChanged() {
  chooseBitmapButton->setEnabled(true);
  bitmapPreview->SetPicture(Picture());
  glyphPreview->clear();
  const int entry = skinBitmapBox->currentIndex();
  if (entry == 0) {
    if (host_.SkinPicture().Width() > 0) {
      bitmapPreview->SetPicture(host_.SkinPicture());
      // Auto-size takes the skin's full size; sizing back to the group fits it in instead.
      bitmapPreview->setGeometry(glyphPreview->geometry());
    }
  } else if (entry > 0 && entry < kSkinBitmapCount) {
    glyphPreview->setPixmap(QPixmap::fromImage(host_.ButtonGlyph(entry)));
  }
}

void TSkinsPage::OnChooseBitmapClicked() {
  FileBoxRequest request;
  request.filter = "Skins|*.bmp";
  request.initialDir = options_.BitmapBoxFolder().empty()
                           ? options_.ProgramFolder() + "skins"
                           : options_.BitmapBoxFolder();
  const std::vector<std::string> files = AppDialogs().OpenFiles(request);
  const int entry = skinBitmapBox->currentIndex();
  if (!files.empty() && entry >= 0 && entry < kSkinBitmapCount) {
    const std::string& path = files.front();
    if (LoadEntry(entry, path)) {
      if (entry == 0) host_.ApplySkinShape();
      ProfileFile(SkinsIni()).WriteString(options_.SchemeName(), kSkinBitmapKeys[entry], path);
    } else {
      AppDialogs().ShowError("Unable to load " + path);
    }
  }
  OnBitmapEntryChanged();
}

}  // namespace velk
