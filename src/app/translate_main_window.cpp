// The main window's texts (and the loupe window's menu) in the current language.
#include <QAction>
#include <QComboBox>
#include <QLabel>

#include "app/main_form.h"
#include "app/file_commands.h"
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
  titleLabel->setText(text("0", "Velk's JPEG Viewer"));
  propertiesHeading->setText(text("1", "File Properties"));
  QLabel* captions[] = {nameCaption, locationCaption, sizeCaption, typeCaption, modifiedCaption};
  static constexpr std::pair<const char*, const char*> kCaptions[] = {
      {"2", "File Name:"}, {"3", "Location:"}, {"4", "Size:"}, {"5", "File Type:"},
      {"6", "Modified:"}};
  for (int i = 0; i < 5; ++i) captions[i]->setText(text(kCaptions[i].first, kCaptions[i].second));
  if (zoomBox->count() > 10) {
    zoomBox->setItemText(9, text("7", "To Fit"));
    zoomBox->setItemText(10, text("8", "Stretch"));
  }
  SetHint(propertiesHeading, text("1", "File Properties:"));
  for (int i = 0; i < 5; ++i) SetHint(captions[i], text(kCaptions[i].first, kCaptions[i].second));
  SetHint(sizeValue, text("4", "Size:"));
  SetHint(typeValue, text("5", "File Type:"));
  SetHint(modifiedValue, text("6", "Modified:"));
  const std::tuple<TToolbarButton97*, const char*, const char*> buttons[] = {
      {executeButton, "9", "Execute File"},    {clearButton, "10", "Clear Screen"},
      {refreshButton, "11", "Refresh"},        {fullScreenButton, "12", "Full Screen"},
      {loupeButton, "14", "Show or hide the Loupe"},
      {optionsButton, "15", "Options"},        {volumeButton, "16", "Change the Volume"},
      {skinsButton, "17", "Skins Manager"}};
  for (const auto& [button, key, english] : buttons) button->SetHint(text(key, english));
  pluginMenuButton->Button()->SetHint(text("18", "Plugins Manager"));
  convertButton->SetHint(text("19", "Conversion Utility"));
  slideShowButton->SetHint(text("20", "Slide Show"));
  aboutButton->SetHint(text("21", "About Velk's JPEG Viewer"));
  SetHint(zoomBox, text("22", "Set the zoom"));
  SetHint(filterBox, text("26", "Set the file filter"));
  SetHint(fileList, text("27", "Display a file"));
  SetHint(folderList, text("28", "Choose a directory"));
  SetHint(driveBox, text("29", "Choose a Drive"));
  damagedText_ = text("202", "The picture is damaged");
  unreadableText_ = text("203", "The picture cannot be shown");
  minimizeButton->SetHint(text("304", "Minimize"));
  closeButton->SetHint(text("305", "Close"));
  pluginMenuButton->Arrow()->SetHint(text("303", "Plugins"));
  folderList->setAccessibleName(text("300", "Folders"));
  fileList->setAccessibleName(text("301", "Files"));
  imageArea->setAccessibleName(text("302", "Picture"));
  fileCommands->Translate(text);
  ShowShortcutsInHints(*this);
  NameControlsByHints(this);
  if (options_) ShowKeysOnAboutPage(options_->creditsText, KeysHtml(*this));
  if (!loupe_) return;
  static constexpr std::tuple<const char*, const char*, const char*> kLoupe[] = {
      {"Interval1", "106", "&Speed"}, {"s1", "107", "Fastest"}, {"s2", "108", "Fast"},
      {"s3", "109", "Normal"},        {"s4", "110", "Slow"},    {"s5", "111", "Slowest"},
      {"s6", "112", "Freeze"},        {"Zoom", "113", "Zoom"}};
  for (const auto& [name, key, english] : kLoupe)
    if (QAction* item = loupe_->FindItem(name)) item->setText(text(key, english));
}

}  // namespace velk
