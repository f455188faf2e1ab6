#pragma once
// The skin: the eight scheme colours of the Colours page and the thirteen bitmaps of the
// Bitmaps page, read from and written to "skins.ini", and applied to the main window.
#include <QObject>
#include <array>
#include <string>

#include "options/skin_scheme.h"

class QComboBox;
class QLabel;

namespace velk {

class OptionsHost;
class TColorComboBox;
class TImageAspect;
class TOptions;
class TToolbarButton97;

inline constexpr int kSkinBitmapCount = 13;
// Bitmap keys by the Bitmaps page's entry index; the key never follows the displayed text.
extern const std::array<const char*, kSkinBitmapCount> kSkinBitmapKeys;

class TSkinsPage : public QObject {
  Q_OBJECT
public:
  // Adds the pickers and the preview to the Colours and Bitmaps pages and connects them.
  TSkinsPage(TOptions& options, OptionsHost& host);

  // First-run defaults: eight colours and ten bitmap keys into the scheme section.
  void Defaultsettings();
  // Creation step 4: every bitmap whose file exists goes to its target.
  void LoadSkinBitmaps();
  // Creation step 11: the stored colours into the pickers (a changed picker applies itself).
  void ReadColours();

  // Event handlers.
  void OnColourChanged(QObject* Sender);
  void OnBitmapEntryChanged();
  void OnChooseBitmapClicked();

  // The pickers' values in key order (Color1 ... Color10).
  std::array<int, kSchemeColourCount> Colours() const;
  void SetColour(int index, int colour);

  // "ColorComboBox1", 2, 3, 4, 5, 7, 8, 10 in key order.
  std::array<TColorComboBox*, kSchemeColourCount> colourBoxes{};
  QComboBox* skinBitmapBox = nullptr;
  TToolbarButton97* chooseBitmapButton = nullptr;
  TImageAspect* bitmapPreview = nullptr;
  QLabel* glyphPreview = nullptr;

private:
  std::string SkinsIni() const;
  // Loads one bitmap file into an entry's target; false when it can't be decoded.
  bool LoadEntry(int entry, const std::string& path);

  TOptions& options_;
  OptionsHost& host_;
};

}  // namespace velk
