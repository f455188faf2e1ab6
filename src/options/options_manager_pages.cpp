// The frames and controls of the pages whose managers live in files of their own: Plugins
// Manager, Convert and Slide Show (the Volume page is built in volume_page.cpp). Their behaviour is
// connected by those managers.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include "chrome/xdg_folders.h"
#include "options/convert_page.h"
#include "options/named_control.h"
#include "options/options_form.h"
#include "options/slide_show_page.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

// Entries that ask for no width of their own: the list makes each as wide as itself, so a
// long path is shortened to fit instead of running out of sight.
class ListWidthDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {0, QStyledItemDelegate::sizeHint(option, index).height()};
  }
};

// A sorted list of full paths that keeps the file names in sight: long paths lose the middle
// of their folder.
void ShowFileNames(QListWidget* list) {
  list->setSortingEnabled(true);
  list->setItemDelegate(new ListWidthDelegate(list));
  list->setTextElideMode(Qt::ElideMiddle);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

}  // namespace

void TOptions::BuildPluginsPage() {
  QWidget* page = Panels[6];
  auto* list = NamedControl<QComboBox>(page, "ComboBox974", QRect(8, 8, 197, 22));
  list->setEnabled(false);
  // Glyphs beside the list: no caption to translate, the hints are.
  GlyphButton(page, "ToolbarButton978", PageGlyphKind::PluginAdd, "Add Plugin",
              QRect(211, 7, 25, 24));
  GlyphButton(page, "ToolbarButton977", PageGlyphKind::PluginRemove, "Remove Plugin",
              QRect(238, 7, 25, 24), false);
  GlyphButton(page, "ToolbarButton979", PageGlyphKind::PluginProperties, "Plugin Properties",
              QRect(265, 7, 25, 24), false);
  GlyphButton(page, "ToolbarButton9710", PageGlyphKind::PluginStart, "Start Plugin",
              QRect(292, 7, 25, 24), false);

  auto* group = NamedControl<QGroupBox>(page, "GroupBox4", QRect(8, 40, 309, 156));
  group->setTitle("Edit Configuration File");
  static const std::pair<const char*, const char*> kFields[] = {
      {"Label28", "Name:"}, {"Label29", "File Name:"}, {"Label30", "Directory:"},
      {"Label31", "Version:"}};
  static const char* const kEdits[] = {"Edit972", "Edit973", "Edit974", "Edit975"};
  for (int i = 0; i < 4; ++i) {
    Caption(group, kFields[i].first, kFields[i].second, QRect(8, 22 + i * 26, 70, 20));
    auto* edit = NamedControl<QLineEdit>(group, kEdits[i], QRect(80, 22 + i * 26, 220, 20));
    edit->setReadOnly(i > 0);  // only the name is edited here
    edit->setEnabled(false);
  }
  FlatButton(group, "ToolbarButton9711", "Apply", "", QRect(196, 126, 104, 24), false);
}

void TOptions::BuildConvertPage() {
  QWidget* page = Panels[7];
  Caption(page, "Label10", "Input files:", QRect(8, 4, 200, 16));
  auto* list = NamedControl<QListWidget>(page, "ListBox1", QRect(8, 22, 270, 94));
  ShowFileNames(list);
  GlyphButton(page, "ToolbarButton971", PageGlyphKind::Add, "Add files to be converted",
              QRect(284, 22, 32, 24));
  GlyphButton(page, "ToolbarButton972", PageGlyphKind::Remove,
              "Delete files from conversion list", QRect(284, 50, 32, 24), false);
  GlyphButton(page, "ToolbarButton976", PageGlyphKind::Clear, "Clear list",
              QRect(284, 78, 32, 24), false);

  // The format names are long: the box takes the page's width under its label.
  Caption(page, "Label22", "Convert to:", QRect(8, 120, 308, 16));
  convertFormatBox = NamedControl<QComboBox>(page, "ComboBox973", QRect(8, 138, 308, 22));
  convertFormatBox->addItems({"Windows Bitmap (*.bmp)", "Joint Pictures Expert Group (*.jpeg)",
                         "Compuserve Bitmap (*.gif)", "Tagged Image File (*.tif)"});
  Caption(page, "Label23", "Output Directory:", QRect(8, 166, 122, 20));
  auto* folder = NamedControl<QLineEdit>(page, "Edit971", QRect(132, 166, 148, 22));
  folder->setReadOnly(true);
  // The user's pictures until a folder is chosen; ending in the separator as a chosen one does.
  const std::string pictures = PicturesFolder();
  folder->setText(QString::fromStdString(pictures == "/" ? pictures : pictures + "/"));
  FlatButton(page, "ToolbarButton9716", "...", "Select the output directory",
             QRect(284, 166, 32, 22), false);

  qualityPanel = NamedControl<QWidget>(page, "convert1", QRect(8, 194, 216, 60));
  Caption(qualityPanel, "Label24", "Quality:", QRect(0, 0, 60, 16));
  qualitySlider = NamedControl<QSlider>(qualityPanel, "TrackBar2", QRect(30, 18, 156, 24));
  qualitySlider->setOrientation(Qt::Horizontal);
  qualitySlider->setRange(5, 10);
  qualitySlider->setTickInterval(1);
  qualitySlider->setTickPosition(QSlider::TicksBelow);
  Caption(qualityPanel, "Label26", "Low", QRect(0, 22, 28, 16));
  Caption(qualityPanel, "Label25", "Best", QRect(188, 22, 28, 16));
  qualityPanel->hide();
  FlatButton(page, "ToolbarButton975", "Convert", "", QRect(224, 226, 92, 26), false);
  new TConvertPage(*this, host_);  // owned by the dialog; found as its child "ConvertPage"
}

void TOptions::BuildSlideShowPage() {
  QWidget* page = Panels[8];
  Caption(page, "Label33", "Input files:", QRect(8, 4, 200, 16));
  auto* list = NamedControl<QListWidget>(page, "Listbox971", QRect(8, 22, 270, 170));
  ShowFileNames(list);
  static const std::tuple<const char*, PageGlyphKind, const char*, bool> kButtons[] = {
      {"ToolbarButton9718", PageGlyphKind::Add, "Add files to the slide show", true},
      {"ToolbarButton9719", PageGlyphKind::Remove, "Remove files from the slide show", false},
      {"ToolbarButton9720", PageGlyphKind::Clear, "Clear list", false},
      {"ToolbarButton9721", PageGlyphKind::Preview, "Full screen preview", false},
      {"ToolbarButton9717", PageGlyphKind::Play,
       "Start the slide show (click screen when started to stop)", false}};
  int top = 22;
  for (const auto& [name, glyph, hint, enabled] : kButtons) {
    GlyphButton(page, name, glyph, hint, QRect(284, top, 32, 24), enabled);
    top += 28;
  }
  Caption(page, "Label32", "Delay between images:", QRect(8, 204, 150, 20));
  auto* delay = NamedControl<QSpinBox>(page, "SpinEdit1", QRect(160, 202, 60, 22));
  delay->setRange(1, 20);
  delay->setValue(1);
  new TSlideShowPage(*this, host_);  // owned by the dialog; found as its child "SlideShowPage"
}

}  // namespace velk
