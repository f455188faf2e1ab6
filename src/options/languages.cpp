#include "options/languages.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStringDecoder>
#include <QTreeWidgetItem>
#include <algorithm>
#include <iterator>
#include <optional>
#include <set>

#include "options/about_page.h"
#include "options/options_form.h"
#include "options/options_host.h"
#include "options/options_names.h"
#include "options/radio_group.h"
#include "options/skin_scheme.h"
#include "platform/application.h"
#include "platform/atomic_file.h"
#include "platform/dialogs.h"
#include "platform/file_path.h"
#include "platform/profile_file.h"
#include "platform/program_files.h"
#include "widgets/hint_tracker.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

constexpr const char* kLanguages = "Languages";

enum class Place { Caption, Hint, TreeItem, BoxEntry, GroupEntry };

struct Text {
  const char* key;
  const char* english;
  Place place;
  const char* control;  // component name; unused for tree items
  int entry = 0;
};

// Every text of the dialog, in the order it is applied.
constexpr Text kOptionsTexts[] = {
    {"15", "Options", Place::TreeItem, nullptr, 0},
    {"30", "General", Place::TreeItem, nullptr, 1},
    {"31", "JPEG", Place::TreeItem, nullptr, 2},
    {"32", "Volume", Place::TreeItem, nullptr, 3},
    {"33", "Skins Manager", Place::TreeItem, nullptr, 4},
    {"34", "Colours", Place::TreeItem, nullptr, 5},
    {"35", "Bitmaps", Place::TreeItem, nullptr, 6},
    {"36", "Plugins Manager", Place::TreeItem, nullptr, 7},
    {"37", "Convert", Place::TreeItem, nullptr, 8},
    {"38", "Slide Show", Place::TreeItem, nullptr, 9},
    {"39", "About", Place::TreeItem, nullptr, 10},
    {"40", "Remember Filename", Place::Caption, "CheckBox3"},
    {"41", "Show/Play Immediately on startup", Place::Caption, "CheckBox4"},
    {"43", "Plugins Directory", Place::Caption, "Label27"},
    {"44", "Language", Place::Caption, "Label34"},
    {"45", "Dither", Place::Caption, "RadioGroup2"},
    {"46", "Ordered Dither", Place::GroupEntry, "RadioGroup2", 0},
    {"47", "No Dither", Place::GroupEntry, "RadioGroup2", 1},
    {"48", "Colours", Place::Caption, "RadioGroup1"},
    {"49", "Colours", Place::GroupEntry, "RadioGroup1", 0},  // "16 " and "256 " + text
    {"50", "True Colour", Place::GroupEntry, "RadioGroup1", 2},
    {"51", "Grey", Place::Caption, "CheckBox1"},
    {"52", "Skins Manager", Place::Caption, "Label17"},
    {"53", "Restore Default Settings", Place::Caption, "ToolbarButton974"},
    {"54", "Container Colour", Place::Caption, "Label15"},
    {"55", "Mainform Colour", Place::Caption, "Label13"},
    {"56", "Scrollbox Colour", Place::Caption, "Label12"},
    {"57", "Main Text Colour", Place::Caption, "Label14"},
    {"58", "Title Colour", Place::Caption, "Label11"},
    {"60", "Container Text Colour", Place::Caption, "Label16"},
    {"61", "Mainform Transparent Colour", Place::Caption, "Label18"},
    {"62", "Full Screen Background Colour", Place::Caption, "Label21"},
    {"63", "Main Form Skin", Place::BoxEntry, "ComboBox972", 0},
    {"64", "Open Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 1},
    {"65", "Clear Toolbar Button  Glyph", Place::BoxEntry, "ComboBox972", 2},
    {"66", "Refresh Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 3},
    {"67", "Full Screen Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 4},
    {"68", "Loupe Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 5},
    {"69", "Options Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 6},
    {"70", "Volume Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 7},
    {"71", "Skins Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 8},
    {"72", "Plugin Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 9},
    {"73", "Convert Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 10},
    {"74", "Slide Show Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 11},
    {"75", "About Toolbar Button Glyph", Place::BoxEntry, "ComboBox972", 12},
    {"76", "Preview", Place::Caption, "GroupBox1"},
    {"91", "Edit Configuration File", Place::Caption, "GroupBox4"},
    {"92", "File Name:", Place::Caption, "Label29"},
    {"93", "Name:", Place::Caption, "Label28"},
    {"94", "Directory:", Place::Caption, "Label30"},
    {"95", "Version:", Place::Caption, "Label31"},
    {"96", "Apply", Place::Caption, "ToolbarButton9711"},
    {"97", "Input Files:", Place::Caption, "Label10"},
    {"98", "Convert to:", Place::Caption, "Label22"},
    {"99", "Output Directory:", Place::Caption, "Label23"},
    {"100", "Convert", Place::Caption, "ToolbarButton975"},
    {"101", "Input files:", Place::Caption, "Label33"},
    {"102", "Delay between images:", Place::Caption, "Label32"},
    {"103", "Velk's JPEG Viewer", Place::Caption, "ProductName"},
    {"104", "Home Page:", Place::Caption, "URLLabel1"},
    {"105", "Email:", Place::Caption, "URLLabel2"},
    {"114", "Add files to the slide show", Place::Hint, "ToolbarButton9718"},
    {"115", "Remove files from the slide show", Place::Hint, "ToolbarButton9719"},
    {"116", "Clear list", Place::Hint, "ToolbarButton9720"},
    {"117", "Full screen preview", Place::Hint, "ToolbarButton9721"},
    {"118", "Start the slide show", Place::Hint, "ToolbarButton9717"},
    {"119", "Add files to be converted", Place::Hint, "ToolbarButton971"},
    {"120", "Delete files from the conversion list", Place::Hint, "ToolbarButton972"},
    {"121", "Clear list", Place::Hint, "ToolbarButton976"},
    {"122", "Select the output directory", Place::Hint, "ToolbarButton9716"},
    {"123", "Remove plugin", Place::Hint, "ToolbarButton977"},
    {"124", "Add plugin", Place::Hint, "ToolbarButton978"},
    {"125", "Plugin properties", Place::Hint, "ToolbarButton979"},
    {"126", "Start plugin", Place::Hint, "ToolbarButton9710"},
    {"127", "Add language plugin", Place::Hint, "ToolbarButton9722"},
    {"200", "Turn photos upright (EXIF)", Place::Caption, "CheckBox5"},
    {"201", "Use the picture's colour profile", Place::Caption, "CheckBox6"},
    {"307", "Choose the bitmap file", Place::Hint, "ToolbarButton973"},
};

// The keys of the main window (with the loupe menu) and of the splash; the texts are applied
// in app/translate_main_window.cpp and app/translate_splash.cpp.
constexpr int kWindowKeys[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,   10,  11,  12,  14,
                               15, 16, 17, 18, 19, 20, 21, 22, 23, 24,  25,  26,  27,  28,
                               29, 106, 107, 108, 109, 110, 111, 112, 113, 202, 203, 300, 301, 302,
                               303, 304, 305, 312, 313, 314, 315, 316};
// The file commands' names and the status line's notices after each (file_commands.cpp).
constexpr int kFileCommandKeys[] = {321, 322, 323, 324, 325, 326, 327, 328, 329,
                                    330, 331, 332, 333, 334, 335, 336, 337, 338,
                                    339, 340, 341, 342, 343, 344};
// The options dialog's names for screen readers (options_names.cpp).
constexpr int kNameKeys[] = {306, 308, 309, 317, 318, 319, 320};
// Read by the Convert page while a conversion runs: the button's "Cancel" and the progress.
constexpr int kConversionRunKeys[] = {310, 311};

void SetCaption(QWidget* control, const QString& text) {
  if (auto* button = qobject_cast<TToolbarButton97*>(control)) button->SetCaption(text);
  else if (auto* label = qobject_cast<QLabel*>(control)) label->setText(text);
  else if (auto* other = qobject_cast<QAbstractButton*>(control)) other->setText(text);
  else if (auto* group = qobject_cast<QGroupBox*>(control)) group->setTitle(text);
}

void ApplyHint(QWidget* control, const QString& text) {
  if (auto* button = qobject_cast<TToolbarButton97*>(control)) button->SetHint(text);
  else if (control) SetHint(control, text);
}

void SetGroupEntry(QWidget* control, int entry, const QString& text) {
  if (auto* group = qobject_cast<TRadioGroup*>(control))
    if (QRadioButton* button = group->Button(entry)) button->setText(text);
}

// With one decoder for many texts: making one costs far more than a short text's decoding.
QString Windows1252Text(QStringDecoder& windows1252, const std::string& bytes) {
  // Without the code page in Qt, Latin-1 gives every letter but the few in 0x80-0x9f.
  if (!windows1252.isValid()) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
  return windows1252.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

}  // namespace

std::string CurrentLanguageFile(const std::string& programFolder) {
  const ProfileFile plugins(programFolder + kPluginsFile);
  const int current = plugins.ReadInteger(kLanguages, "current", 0);
  return plugins.ReadString(kLanguages, "language" + std::to_string(current), "");
}

std::vector<std::string> LanguageKeys() {
  std::set<int> keys(std::begin(kWindowKeys), std::end(kWindowKeys));
  keys.insert(std::begin(kConversionRunKeys), std::end(kConversionRunKeys));
  keys.insert(std::begin(kFileCommandKeys), std::end(kFileCommandKeys));
  keys.insert(std::begin(kNameKeys), std::end(kNameKeys));
  for (const Text& text : kOptionsTexts) keys.insert(std::stoi(text.key));
  std::vector<std::string> names;
  for (int key : keys) names.push_back(std::to_string(key));
  return names;
}

LanguageTexts::LanguageTexts(const std::string& programFolder) {
  const std::string file = CurrentLanguageFile(programFolder);
  if (file.empty()) return;
  // Older language files are in the Windows code page: a file that is not UTF-8 is one.
  std::optional<QStringDecoder> windows1252;
  if (const auto bytes = ReadWholeFile(ProgramFileToRead(file), kMaxProfileBytes)) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(QByteArrayView(bytes->data(), qsizetype(bytes->size())));
    if (utf8.hasError()) windows1252.emplace("windows-1252");
  }
  for (const auto& [key, value] : ProfileFile(file).ReadSectionValues("Settings")) {
    if (!value) continue;  // a key without "=" keeps its English
    texts_.emplace(AsciiLower(key), windows1252 ? Windows1252Text(*windows1252, *value)
                                                : QString::fromStdString(*value));
  }
}

QString LanguageTexts::operator()(const char* key, const char* english) const {
  const auto found = texts_.find(AsciiLower(key));
  return found != texts_.end() ? found->second : QString::fromUtf8(english);
}

QString Windows1252Text(const std::string& bytes) {
  QStringDecoder windows1252("windows-1252");
  return Windows1252Text(windows1252, bytes);
}

void TranslateOptions(TOptions& options, OptionsHost& host) {
  const int zoom = host.ZoomIndex();
  const int bitmap = options.skinBitmapBox->currentIndex();
  const LanguageTexts texts(options.ProgramFolder());
  for (const Text& text : kOptionsTexts) {
    const QString value = texts(text.key, text.english);
    QWidget* control = text.control ? options.FindComponent(text.control) : nullptr;
    switch (text.place) {
      case Place::TreeItem:
        if (QTreeWidgetItem* item = options.TreeItem(text.entry)) item->setText(0, value);
        break;
      case Place::Caption:
        if (text.control == std::string_view("URLLabel1"))
          SetCaption(control, value + " " + kHomePageAddress);
        else if (text.control == std::string_view("URLLabel2"))
          SetCaption(control, value + " " + kEmailAddress);
        else
          SetCaption(control, value);
        break;
      case Place::Hint:
        ApplyHint(control, value);
        break;
      case Place::BoxEntry:
        if (auto* box = qobject_cast<QComboBox*>(control); box && text.entry < box->count())
          box->setItemText(text.entry, value);
        break;
      case Place::GroupEntry:
        if (text.key == std::string_view("49")) {
          SetGroupEntry(control, 0, "16 " + value);
          SetGroupEntry(control, 1, "256 " + value);
        } else {
          SetGroupEntry(control, text.entry, value);
        }
        break;
    }
  }
  NameOptionsControls(options);  // after their captions and hints
  Application::SetTitle(texts("0", "Velk's JPEG Viewer"));
  host.SetZoomIndex(zoom);
  options.skinBitmapBox->setCurrentIndex(bitmap);
  options.FitToFont();  // a language's longer texts may want more room
}

TLanguagesPage::TLanguagesPage(TOptions& options, OptionsHost& host)
    : QObject(&options), options_(options), host_(host) {
  // Only the user's choice raises the change; filling the box by program doesn't.
  connect(options.languageBox, &QComboBox::activated, this, &TLanguagesPage::OnLanguageChanged);
  connect(options.addLanguageButton, &TToolbarButton97::clicked, this,
          &TLanguagesPage::OnAddLanguageClicked);
}

void TLanguagesPage::FillLanguageBox() {
  const ProfileFile plugins(options_.ProgramFolder() + kPluginsFile);
  // A count beyond the section's keys is damaged (no entry past them can have a name): it
  // must not fill the box for ever.
  const int entries = int(plugins.ReadSection(kLanguages).size());
  const int number = std::min(plugins.ReadInteger(kLanguages, "number", 0), entries + 1);
  for (int k = 1; k < number; ++k)
    options_.languageBox->addItem(
        QString::fromStdString(plugins.ReadString(kLanguages, "name" + std::to_string(k), "")));
  options_.languageBox->setCurrentIndex(plugins.ReadInteger(kLanguages, "current", 0));
}

void TLanguagesPage::ApplyLanguage() {
  host_.TranslateMainWindow();
  TranslateOptions(options_, host_);
}

void TLanguagesPage::OnLanguageChanged() {
  const int zoom = host_.ZoomIndex();
  ProfileFile(options_.ProgramFolder() + kPluginsFile)
      .WriteInteger(kLanguages, "current", options_.languageBox->currentIndex());
  ApplyLanguage();
  host_.SetZoomIndex(zoom);
}

void TLanguagesPage::OnAddLanguageClicked() {
  const int zoom = host_.ZoomIndex();
  FileBoxRequest request;
  request.filter = "Language Definition File|*.ldf";
  const std::vector<std::string> chosen = AppDialogs().OpenFiles(request);
  if (chosen.empty()) return;
  const std::string file = chosen.front();
  const std::string name = ProfileFile(file).ReadString("Settings", "name", "(none)");
  // No duplicate check: a file added twice is listed twice.
  QComboBox* box = options_.languageBox;
  box->addItem(QString::fromStdString(name));
  box->setCurrentIndex(box->count() - 1);
  const int k = box->currentIndex();
  ProfileFile plugins(options_.ProgramFolder() + kPluginsFile);
  plugins.BeginUpdate();
  plugins.WriteString(kLanguages, "language" + std::to_string(k), file);
  plugins.WriteInteger(kLanguages, "current", k);
  plugins.WriteString(kLanguages, "name" + std::to_string(k), name);
  plugins.WriteInteger(kLanguages, "number", box->count());
  plugins.EndUpdate();
  ApplyLanguage();
  host_.SetZoomIndex(zoom);
}

}  // namespace velk
