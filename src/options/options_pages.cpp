// The dialog's frame and the pages whose behaviour lives in the dialog itself: General, JPEG,
// Skins Manager and About.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "options/about_page.h"
#include "options/named_control.h"
#include "options/options_form.h"
#include "options/radio_group.h"
#include "widgets/toolbar_button.h"

namespace velk {

void TOptions::BuildFrame() {
  pageTree = NamedControl<QTreeWidget>(this, "TreeView1", QRect(0, 0, 163, 319));
  pageTree->setHeaderHidden(true);
  pageTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  pageTree->setSelectionMode(QAbstractItemView::SingleSelection);
  auto* options = new QTreeWidgetItem(pageTree, {"Options"});
  for (const char* text : {"General", "JPEG", "Volume"}) new QTreeWidgetItem(options, {text});
  auto* skins = new QTreeWidgetItem(pageTree, {"Skins Manager"});
  for (const char* text : {"Colours", "Bitmaps"}) new QTreeWidgetItem(skins, {text});
  for (const char* text : {"Plugins Manager", "Convert", "Slide Show", "About"})
    new QTreeWidgetItem(pageTree, {text});

  heading = Caption(this, "Label19", "Velk's JPEG Viewer Options", QRect(164, 0, 325, 259));
  heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  heading->setWordWrap(true);
  heading->setContentsMargins(8, 16, 8, 0);
  QFont big = heading->font();
  big.setPointSize(big.pointSize() + 8);
  big.setBold(true);
  heading->setFont(big);

  for (int i = 0; i < 10; ++i) {
    const QByteArray name = "Panel" + QByteArray::number(i + 1);
    Panels[i] = NamedControl<QFrame>(this, name.constData(), QRect(164, 0, 325, 259));
    Panels[i]->setAutoFillBackground(true);  // an opaque page covers the heading
    Panels[i]->hide();
  }

  okButton = NamedControl<QPushButton>(this, "ExplorerButton1", QRect(402, 281, 75, 25));
  okButton->setText("OK");
  okButton->setProperty("Tag", 4);
}

void TOptions::BuildGeneralPage() {
  QWidget* page = Panels[0];
  // A check box of the page at a row, with the tag Menuclick knows it by.
  const auto checkBox = [page](const char* name, const char* text, int tag, int top) {
    auto* box = NamedControl<QCheckBox>(page, name, QRect(16, top, 290, 20));
    box->setText(text);
    box->setProperty("Tag", tag);
    return box;
  };
  rememberFileBox = checkBox("CheckBox3", "Remember Filename", 6, 16);
  showOnStartBox = checkBox("CheckBox4", "Show/Play Immediately on Startup", 7, 40);

  Caption(page, "Label27", "Plugins Directory:", QRect(16, 76, 290, 16));
  pluginFolderEdit = NamedControl<QLineEdit>(page, "Edit976", QRect(16, 94, 262, 22));
  pluginFolderEdit->setReadOnly(true);
  pluginFolderButton = FlatButton(page, "ToolbarButton9712", "...", "Browse for Plugins Directory",
                                 QRect(282, 94, 26, 22));

  Caption(page, "Label34", "Language:", QRect(16, 128, 290, 16));
  languageBox = NamedControl<QComboBox>(page, "ComboBox975", QRect(16, 146, 262, 22));
  languageBox->addItem("English");
  addLanguageButton = FlatButton(page, "ToolbarButton9722", "+", "Add language plugin",
                                 QRect(282, 146, 26, 22));

  orientationBox = checkBox("CheckBox5", "Turn photos upright (EXIF)", 8, 184);
  colourProfileBox = checkBox("CheckBox6", "Use the picture's colour profile", 9, 208);
}

void TOptions::BuildJpegPage() {
  QWidget* page = Panels[1];
  ditherGroup = NamedControl<TRadioGroup>(page, "RadioGroup2", QRect(8, 8, 154, 72));
  ditherGroup->setTitle("Dither");
  ditherGroup->SetItems({"Ordered Dither", "No Dither"});
  ditherGroup->SetItemIndex(0);
  ditherGroup->SetTag(1);
  greyBox = NamedControl<QCheckBox>(page, "CheckBox1", QRect(16, 88, 140, 20));
  greyBox->setText("Grey");
  greyBox->setProperty("Tag", 2);
  coloursGroup = NamedControl<TRadioGroup>(page, "RadioGroup1", QRect(168, 8, 148, 100));
  coloursGroup->setTitle("Colours...");
  coloursGroup->SetItems({"16 Colours", "256 Colours", "True Colour"});
  coloursGroup->SetItemIndex(2);
  coloursGroup->SetTag(3);
}

void TOptions::BuildSkinsPages() {
  QWidget* manager = Panels[3];
  QLabel* heading = Caption(manager, "Label17", "Skins Manager", QRect(8, 8, 309, 32));
  QFont big = heading->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  heading->setFont(big);
  restoreDefaultsButton = FlatButton(manager, "ToolbarButton974", "Restore Default Settings", "",
                                QRect(8, 56, 300, 26));
  restoreDefaultsButton->SetTag(1);

  // Colours page: the labels in picker order; the pickers come with the skin code.
  static const std::pair<const char*, const char*> kColourLabels[] = {
      {"Label15", "Container Colour:"},   {"Label13", "Main Form Colour:"},
      {"Label12", "Scrollbox Colour:"},   {"Label14", "Main Text Colour:"},
      {"Label11", "Title Bar:"},          {"Label16", "Container Text Colour:"},
      {"Label18", "Main Form Transparent Colour:"},
      {"Label21", "Full Screen Background Colour:"}};
  int top = 8;
  for (const auto& [name, text] : kColourLabels) {
    Caption(Panels[4], name, text, QRect(8, top, 170, 20));
    top += 30;
  }

  QWidget* bitmaps = Panels[5];
  skinBitmapBox = NamedControl<QComboBox>(bitmaps, "ComboBox972", QRect(8, 8, 270, 22));
  skinBitmapBox->addItems({"Main Form Skin", "Open Toolbar Button Glyph",
                         "Clear Toolbar Button Glyph", "Refresh Toolbar Button Glyph",
                         "Full Screen Toolbar Button Glyph", "Loupe Toolbar Button Glyph",
                         "Options Toolbar Button Glyph", "Volume Toolbar Button Glyph",
                         "Skins Toolbar Button Glyph", "Plugin Toolbar Button Glyph",
                         "Convert Toolbar Button Glyph", "Slide Show Toolbar Button Glyph",
                         "About Toolbar Button Glyph"});
  FlatButton(bitmaps, "ToolbarButton973", "...", "Choose the bitmap file", QRect(284, 8, 26, 22));
  auto* preview = NamedControl<QGroupBox>(bitmaps, "GroupBox1", QRect(8, 40, 309, 210));
  preview->setTitle("Preview");
}

void TOptions::BuildAboutPage() {
  const AboutPage page = velk::BuildAboutPage(Panels[9]);
  ProductName = page.ProductName;
  Version = page.Version;
  viewerIcon = page.viewerIcon;
  smileyIcon = page.smileyIcon;
  creditsText = page.creditsText;
  homePageLink = page.homePageLink;
  emailLink = page.emailLink;
}

}  // namespace velk
