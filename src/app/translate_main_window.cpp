// The main window's texts (and the loupe window's menu) in the current language.
#include <QAction>
#include <QComboBox>
#include <QLabel>

#include "app/main_form.h"
#include "app/main_form_commands.h"
#include "app/scroll_box.h"
#include "chrome/path_combo_box.h"
#include "image/loupe_form.h"
#include "options/about_page.h"
#include "options/languages.h"
#include "options/options_form.h"
#include "widgets/accessible_names.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
#include "widgets/filter_combo_box.h"
#include "widgets/hint_tracker.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {

void TMainform::TranslateMainWindow() {
  const LanguageTexts text(environment_.programFolder);
  Label12->setText(text("0", "Velk's JPEG Viewer"));
  Label11->setText(text("1", "File Properties"));
  QLabel* captions[] = {Label1, Label2, Label3, Label4, Label5};
  static constexpr std::pair<const char*, const char*> kCaptions[] = {
      {"2", "File Name:"}, {"3", "Location:"}, {"4", "Size:"}, {"5", "File Type:"},
      {"6", "Modified:"}};
  for (int i = 0; i < 5; ++i) captions[i]->setText(text(kCaptions[i].first, kCaptions[i].second));
  if (ComboBox1->count() > 10) {
    ComboBox1->setItemText(9, text("7", "To Fit"));
    ComboBox1->setItemText(10, text("8", "Stretch"));
  }
  SetHint(Label11, text("1", "File Properties:"));
  for (int i = 0; i < 5; ++i) SetHint(captions[i], text(kCaptions[i].first, kCaptions[i].second));
  SetHint(Label8, text("4", "Size:"));
  SetHint(Label9, text("5", "File Type:"));
  SetHint(Label10, text("6", "Modified:"));
  const std::tuple<TToolbarButton97*, const char*, const char*> buttons[] = {
      {ToolbarButton971, "9", "Execute File"},       {ToolbarButton973, "10", "Clear Screen"},
      {ToolbarButton974, "11", "Refresh"},           {ToolbarButton975, "12", "Full Screen"},
      {ToolbarButton977, "14", "Show or hide the Loupe"},
      {ToolbarButton976, "15", "Options"},           {ToolbarButton9710, "16", "Change the Volume"},
      {ToolbarButton9713, "17", "Skins Manager"}};
  for (const auto& [button, key, english] : buttons) button->SetHint(text(key, english));
  OptionBox971->Button()->SetHint(text("18", "Plugins Manager"));
  ToolbarButton9712->SetHint(text("19", "Conversion Utility"));
  ToolbarButton9714->SetHint(text("20", "Slide Show"));
  ToolbarButton972->SetHint(text("21", "About Velk's JPEG Viewer"));
  SetHint(ComboBox1, text("22", "Set the zoom"));
  SetHint(FilterComboBox1, text("26", "Set the file filter"));
  SetHint(FileListBox1, text("27", "Display a file"));
  SetHint(DirectoryListBox1, text("28", "Choose a directory"));
  SetHint(PathComboBox1, text("29", "Choose a Drive"));
  damagedText_ = text("202", "The picture is damaged");
  unreadableText_ = text("203", "The picture cannot be shown");
  ToolbarButton978->SetHint(text("304", "Minimize"));
  ToolbarButton979->SetHint(text("305", "Close"));
  OptionBox971->Arrow()->SetHint(text("303", "Plugins"));
  DirectoryListBox1->setAccessibleName(text("300", "Folders"));
  FileListBox1->setAccessibleName(text("301", "Files"));
  ScrollBox1->setAccessibleName(text("302", "Picture"));
  ShowShortcutsInHints(*this);
  NameControlsByHints(this);
  if (options_) ShowKeysOnAboutPage(options_->Memo1, KeysHtml(*this));
  if (!loupe_) return;
  static constexpr std::tuple<const char*, const char*, const char*> kLoupe[] = {
      {"Interval1", "106", "&Speed"}, {"s1", "107", "Fastest"}, {"s2", "108", "Fast"},
      {"s3", "109", "Normal"},        {"s4", "110", "Slow"},    {"s5", "111", "Slowest"},
      {"s6", "112", "Freeze"},        {"Zoom", "113", "Zoom"}};
  for (const auto& [name, key, english] : kLoupe)
    if (QAction* item = loupe_->FindItem(name)) item->setText(text(key, english));
}

}  // namespace velk
