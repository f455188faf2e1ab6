// The main window's side of the skin: its skin picture and shape, the toolbar glyphs and the
// scheme colours, as the options dialog's Colours and Bitmaps pages set them.
#include <QPalette>

#include "app/fullscreen_form.h"
#include "platform/system_colors.h"
#include "app/main_form.h"
#include "app/scroll_box.h"
#include "chrome/path_combo_box.h"
#include "chrome/trans_image.h"
#include "widgets/directory_list_box.h"
#include "widgets/file_list_box.h"
#include "widgets/filter_combo_box.h"
#include "widgets/option_box.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

void SetRoles(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles,
              const QColor& colour) {
  QPalette palette = widget->palette();
  for (QPalette::ColorRole role : roles) palette.setColor(role, colour);
  widget->setPalette(palette);
}

}  // namespace

void TMainform::LoadSkinPicture(const std::string& path) {
  skinImage->GetPicture().LoadFromFile(path);
}

Picture& TMainform::SkinPicture() { return skinImage->GetPicture(); }

void TMainform::SetSkinTransColor(TColor colour) { skinImage->SetTransColor(colour); }

void TMainform::ApplySkinShape() { skinImage->ApplyShape(); }

TToolbarButton97* TMainform::GlyphButton(int entry) const {
  // By the Bitmaps page's entries 1 to 12.
  TToolbarButton97* const buttons[] = {
      executeButton, clearButton,   refreshButton, fullScreenButton,           loupeButton,
      optionsButton, volumeButton,  skinsButton,   pluginMenuButton->Button(), convertButton,
      slideShowButton, aboutButton};
  return entry >= 1 && entry <= 12 ? buttons[entry - 1] : nullptr;
}

void TMainform::SetButtonGlyph(int entry, const Bitmap& glyph) {
  if (TToolbarButton97* button = GlyphButton(entry)) button->SetGlyph(glyph);
}

QImage TMainform::ButtonGlyph(int entry) const {
  const TToolbarButton97* button = GlyphButton(entry);
  return button ? button->Glyph() : QImage();
}

void TMainform::ApplySkinColour(int tag, TColor colour) {
  const QColor c = ToQColor(colour);
  QWidget* const containers[] = {zoomBox, driveBox, folderList, fileList, filterBox};
  switch (tag) {
    case 1:
    case 7:
      // Background and text together: one of them from a dark desktop theme would leave
      // light text on the skin's white (or dark on dark).
      (tag == 1 ? containerColour_ : containerText_) = c;
      for (QWidget* w : containers) {
        SetRoles(w, {QPalette::Base, QPalette::AlternateBase, QPalette::Button, QPalette::Window},
                 containerColour_);
        SetRoles(w, {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}, containerText_);
      }
      break;
    case 2:  // the form (where no skin covers it) and the toolbar panel
      formColour_ = c;
      SetRoles(toolbarPanel, {QPalette::Window}, c);
      update();
      break;
    case 3:
      SetRoles(imageArea, {QPalette::Window}, c);
      break;
    case 4:
      for (QLabel* label :
           {nameCaption, locationCaption, sizeCaption, typeCaption, modifiedCaption, nameValue,
            locationValue, sizeValue, typeValue, modifiedValue, propertiesHeading, statusLine})
        SetRoles(label, {QPalette::WindowText}, c);
      SetRoles(pluginMenuButton, {QPalette::WindowText, QPalette::ButtonText}, c);
      fullscreenText_ = c;
      if (fullscreen_) fullscreen_->SetColors(fullscreenBackground_, fullscreenText_);
      break;
    case 5:  // the title label and the title panel that holds the minimise and close buttons
      titleLabel->setAutoFillBackground(true);
      SetRoles(titleLabel, {QPalette::Window}, c);
      SetRoles(titlePanel, {QPalette::Window}, c);
      break;
    case 10:
      fullscreenBackground_ = c;
      if (fullscreen_) fullscreen_->SetColors(fullscreenBackground_, fullscreenText_);
      break;
    default:
      break;
  }
}

}  // namespace velk
