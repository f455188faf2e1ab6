#include "options/options_names.h"

#include <QFrame>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTreeWidget>

#include "chrome/color_combo_box.h"
#include "options/languages.h"
#include "options/options_form.h"
#include "options/skins_page.h"
#include "widgets/accessible_names.h"

namespace velk {

namespace {

struct Caption {
  int page;  // index into Panels
  const char* label;
  const char* control;
};

constexpr Caption kCaptions[] = {
    {0, "Label27", "Edit976"},     {0, "Label34", "ComboBox975"},
    {2, "Label5", "TrackBar951"},  {2, "Label9", "TrackBar1"},
    {2, "Label6", "TrackBar952"},  {2, "Label7", "TrackBar953"},
    {2, "Label8", "TrackBar954"},  {6, "Label28", "Edit972"},
    {6, "Label29", "Edit973"},     {6, "Label30", "Edit974"},
    {6, "Label31", "Edit975"},     {7, "Label10", "ListBox1"},
    {7, "Label22", "ComboBox973"}, {7, "Label23", "Edit971"},
    {7, "Label24", "TrackBar2"},   {8, "Label33", "Listbox971"},
    {8, "Label32", "SpinEdit1"}};

// The Colours page's captions in picker order.
constexpr const char* kColourCaptions[] = {"Label15", "Label13", "Label12", "Label14",
                                           "Label11", "Label16", "Label18", "Label21"};

// The label stands for the control: its buddy, and its text the control's name (lists and
// boxes do not all take their name from a buddy).
void Label(QLabel* label, QWidget* control) {
  if (!label || !control) return;
  label->setBuddy(control);
  QString name = label->text();
  if (name.endsWith(':')) name.chop(1);
  control->setAccessibleName(name.trimmed());
}

}  // namespace

void NameOptionsControls(TOptions& options) {
  for (const Caption& caption : kCaptions) {
    QFrame* page = options.Panels[caption.page];
    Label(page->findChild<QLabel*>(caption.label), page->findChild<QWidget*>(caption.control));
  }
  for (int i = 0; i < kSchemeColourCount; ++i)
    Label(options.Panels[4]->findChild<QLabel*>(kColourCaptions[i]),
          options.SkinsPage->colourBoxes[i]);
  // Controls without a caption of their own.
  const LanguageTexts text(options.ProgramFolder());
  options.pageTree->setAccessibleName(text("309", "Pages"));
  options.viewerIcon->setAccessibleName(text("317", "Program icon"));
  options.smileyIcon->setAccessibleName(text("318", "Smiley"));
  options.creditsText->setAccessibleName(text("319", "Credits and keys"));
  for (QScrollBar* bar : {options.creditsText->verticalScrollBar(),
                          options.creditsText->horizontalScrollBar()})
    bar->setAccessibleName(text("320", "Scroll the credits"));
  options.skinBitmapBox->setAccessibleName(text("306", "Skin bitmap"));
  if (QWidget* plugins = options.FindComponent("ComboBox974"))
    plugins->setAccessibleName(text("308", "Plugins"));
  NameControlsByHints(&options);
}

}  // namespace velk
