#pragma once
// What the options dialog reaches in the main window: its JPEG control, zoom box, file list,
// display routines and plugin drop-down. The main window implements it.
#include <QImage>
#include <QStringList>
#include <string>

#include "platform/color.h"

namespace velk {

class Bitmap;
class Picture;
class TCustomJPEGImage;
struct ViewerSettings;

class OptionsHost {
public:
  virtual ~OptionsHost() = default;
  virtual ViewerSettings& Settings() = 0;
  // The main window's JPEG control (GrayScale, NumOfColors).
  virtual TCustomJPEGImage& MainJPEGImage() = 0;
  // Shows the file selected in the file list again.
  virtual void OnFileSelected() = 0;
  // Applies the selected zoom to the picture on screen again.
  virtual void OnZoomChanged() = 0;
  // The zoom box's selected index (-1 none); selecting by program raises no event.
  virtual int ZoomIndex() const = 0;
  virtual void SetZoomIndex(int index) = 0;
  // Selects an entry of the file list by index without showing it (the caller decides).
  virtual void SetFileIndex(int index) = 0;
  // The plugin drop-down's items: 0 "Plugins Manager", 1 "-", then "name - version" each.
  virtual QStringList PluginMenuItems() const = 0;
  virtual void SetPluginMenuItems(const QStringList& items) = 0;
  // Runs one export of a plugin library ("Startplugin", "Configureplugin"), with the program's
  // error boxes when it can't.
  virtual void StartPlugin(const std::string& library, const std::string& procedure) = 0;
  // Relabels the main window (and the loupe's menu) in the current language.
  virtual void TranslateMainWindow() = 0;
  // The slide show: shows a copy of picture full screen under the caption (the full-screen
  // window is made visible when hidden). Without a full-screen window nothing is shown.
  virtual void ShowFullScreen(const Picture& /*picture*/, const QString& /*caption*/) {}
  // A line of progress in the main window's status line.
  virtual void ShowStatus(const QString& /*text*/) {}

  // The skin. Entries are those of the Bitmaps page: 0 the skin picture, 1 to 12 the glyphs
  // of the toolbar buttons in the page's order.
  // Loads the skin picture from a file; throws (keeping the old picture) when it can't.
  virtual void LoadSkinPicture(const std::string& path) = 0;
  virtual Picture& SkinPicture() = 0;
  virtual void SetSkinTransColor(TColor colour) = 0;
  // Reshapes the main window from its skin picture and transparent colour.
  virtual void ApplySkinShape() = 0;
  virtual void SetButtonGlyph(int entry, const Bitmap& glyph) = 0;
  virtual QImage ButtonGlyph(int entry) const = 0;
  // Paints the targets of a scheme colour by its picker's tag (1-5, 7, 10; not 8).
  virtual void ApplySkinColour(int tag, TColor colour) = 0;
};

}  // namespace velk
