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
  TreeView1 = NamedControl<QTreeWidget>(this, "TreeView1", QRect(0, 0, 163, 319));
  TreeView1->setHeaderHidden(true);
  TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
  auto* options = new QTreeWidgetItem(TreeView1, {"Options"});
  for (const char* text : {"General", "JPEG", "Volume"}) new QTreeWidgetItem(options, {text});
  auto* skins = new QTreeWidgetItem(TreeView1, {"Skins Manager"});
  for (const char* text : {"Colours", "Bitmaps"}) new QTreeWidgetItem(skins, {text});
  for (const char* text : {"Plugins Manager", "Convert", "Slide Show", "About"})
    new QTreeWidgetItem(TreeView1, {text});

  Label19 = Caption(this, "Label19", "Velk's JPEG Viewer Options", QRect(164, 0, 325, 259));
  Label19->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label19->setWordWrap(true);
  Label19->setContentsMargins(8, 16, 8, 0);
  QFont big = Label19->font();
  big.setPointSize(big.pointSize() + 8);
  big.setBold(true);
  Label19->setFont(big);

  for (int i = 0; i < 10; ++i) {
    const QByteArray name = "Panel" + QByteArray::number(i + 1);
    Panels[i] = NamedControl<QFrame>(this, name.constData(), QRect(164, 0, 325, 259));
    Panels[i]->setAutoFillBackground(true);  // an opaque page covers the heading
    Panels[i]->hide();
  }

  ExplorerButton1 = NamedControl<QPushButton>(this, "ExplorerButton1", QRect(402, 281, 75, 25));
  ExplorerButton1->setText("OK");
  ExplorerButton1->setProperty("Tag", 4);
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
  CheckBox3 = checkBox("CheckBox3", "Remember Filename", 6, 16);
  CheckBox4 = checkBox("CheckBox4", "Show/Play Immediately on Startup", 7, 40);

  Caption(page, "Label27", "Plugins Directory:", QRect(16, 76, 290, 16));
  Edit976 = NamedControl<QLineEdit>(page, "Edit976", QRect(16, 94, 262, 22));
  Edit976->setReadOnly(true);
  ToolbarButton9712 = FlatButton(page, "ToolbarButton9712", "...", "Browse for Plugins Directory",
                                 QRect(282, 94, 26, 22));

  Caption(page, "Label34", "Language:", QRect(16, 128, 290, 16));
  ComboBox975 = NamedControl<QComboBox>(page, "ComboBox975", QRect(16, 146, 262, 22));
  ComboBox975->addItem("English");
  ToolbarButton9722 = FlatButton(page, "ToolbarButton9722", "+", "Add language plugin",
                                 QRect(282, 146, 26, 22));

  CheckBox5 = checkBox("CheckBox5", "Turn photos upright (EXIF)", 8, 184);
  CheckBox6 = checkBox("CheckBox6", "Use the picture's colour profile", 9, 208);
}

void TOptions::BuildJpegPage() {
  QWidget* page = Panels[1];
  RadioGroup2 = NamedControl<TRadioGroup>(page, "RadioGroup2", QRect(8, 8, 154, 72));
  RadioGroup2->setTitle("Dither");
  RadioGroup2->SetItems({"Ordered Dither", "No Dither"});
  RadioGroup2->SetItemIndex(0);
  RadioGroup2->SetTag(1);
  CheckBox1 = NamedControl<QCheckBox>(page, "CheckBox1", QRect(16, 88, 140, 20));
  CheckBox1->setText("Grey");
  CheckBox1->setProperty("Tag", 2);
  RadioGroup1 = NamedControl<TRadioGroup>(page, "RadioGroup1", QRect(168, 8, 148, 100));
  RadioGroup1->setTitle("Colours...");
  RadioGroup1->SetItems({"16 Colours", "256 Colours", "True Colour"});
  RadioGroup1->SetItemIndex(2);
  RadioGroup1->SetTag(3);
}

void TOptions::BuildSkinsPages() {
  QWidget* manager = Panels[3];
  QLabel* heading = Caption(manager, "Label17", "Skins Manager", QRect(8, 8, 309, 32));
  QFont big = heading->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  heading->setFont(big);
  ToolbarButton974 = FlatButton(manager, "ToolbarButton974", "Restore Default Settings", "",
                                QRect(8, 56, 300, 26));
  ToolbarButton974->SetTag(1);

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
  ComboBox972 = NamedControl<QComboBox>(bitmaps, "ComboBox972", QRect(8, 8, 270, 22));
  ComboBox972->addItems({"Main Form Skin", "Open Toolbar Button Glyph",
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
  Image1 = page.Image1;
  Image2 = page.Image2;
  Memo1 = page.Memo1;
  URLLabel1 = page.URLLabel1;
  URLLabel2 = page.URLLabel2;
}

}  // namespace velk
