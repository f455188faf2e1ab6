#pragma once
// The options dialog: one long-lived tool window whose pages (chosen through a page tree) hold
// the viewer's options and every manager of the program. Its creation completes the main
// window's start-up.
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "image/jpeg_codec.h"

#include "options/skin_scheme.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace velk {

class OptionsHost;
class TJPEGImage;
class TLanguagesPage;
class TPluginsPage;
class TSkinsPage;
class TRadioGroup;
class TToolbarButton97;
class TURLLabel;
class TVolumePage;

// The colour box's entry at index (the saved "Colours" value); nullopt outside the box.
std::optional<TNumOfColors> ColoursChoice(int index);

class TOptions : public QWidget {
  Q_OBJECT
public:
  // Builds the dialog hidden and runs the full creation sequence (FormCreate with itself as
  // the sender, tag 0). programFolder ends in "/".
  TOptions(OptionsHost& host, std::string programFolder, QWidget* parent = nullptr);

  QString Name() const { return objectName(); }
  void SetName(const QString& name) { setObjectName(name); }

  // Opens the dialog (not modal) on a page: 0 "Options" ... 10 "About" (tree item index).
  void ShowPage(int node);

  // Event handlers.
  void FormCreate(QObject* Sender);
  void FormActivate();
  void FormHide();
  void OnPageChosen();
  void Menuclick(QObject* Sender);
  void OnRestoreDefaultsClicked();

  // Tree items by depth-first position; -1 / nullptr when none.
  int SelectedNode() const;
  QTreeWidgetItem* TreeItem(int index) const;
  // A child control by name, compared without regard to case.
  QWidget* FindComponent(const QString& name) const;

  const std::string& ProgramFolder() const { return programFolder_; }
  const std::string& SchemeName() const { return scheme_; }
  // The scheme colours written back when the dialog hides: the Colours page's pickers.
  std::array<int, kSchemeColourCount> SchemeColours() const;
  void SetSchemeColour(int index, int colour);
  int PluginCount() const;
  // The dialog and its pages grown to show every text whole at the font in use (the design
  // size at the design font); run again after the texts change.
  void FitToFont();
  const std::string& BitmapBoxFolder() const { return bitmapBoxFolder_; }
  const std::string& PluginBoxFolder() const { return pluginBoxFolder_; }

  // Frame.
  QTreeWidget* pageTree = nullptr;
  QLabel* heading = nullptr;  // heading "Velk's JPEG Viewer Options"
  std::array<QFrame*, 10> Panels{};  // "Panel1" .. "Panel10"
  QPushButton* okButton = nullptr;
  // General page.
  QCheckBox* rememberFileBox = nullptr;  // "Remember Filename"
  QCheckBox* showOnStartBox = nullptr;  // "Show/Play Immediately on Startup"
  QCheckBox* orientationBox = nullptr;  // turn photos as their files say
  QCheckBox* colourProfileBox = nullptr;  // convert colour profiles to sRGB
  QLineEdit* pluginFolderEdit = nullptr;    // plugins folder
  TToolbarButton97* pluginFolderButton = nullptr;
  QComboBox* languageBox = nullptr;  // language
  TToolbarButton97* addLanguageButton = nullptr;
  // JPEG page.
  TRadioGroup* ditherGroup = nullptr;  // "Dither"
  TRadioGroup* coloursGroup = nullptr;  // "Colours..."
  QCheckBox* greyBox = nullptr;      // "Grey"
  // Skins Manager and Bitmaps pages.
  TToolbarButton97* restoreDefaultsButton = nullptr;  // "Restore Default Settings"
  QComboBox* skinBitmapBox = nullptr;
  // Convert page.
  QComboBox* convertFormatBox = nullptr;
  QWidget* qualityPanel = nullptr;
  QSlider* qualitySlider = nullptr;  // JPEG quality / 10
  // About page.
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* viewerIcon = nullptr;
  QLabel* smileyIcon = nullptr;
  QTextBrowser* creditsText = nullptr;
  TURLLabel* homePageLink = nullptr;
  TURLLabel* emailLink = nullptr;
  // The invisible working picture of the conversion utility and the slide show.
  TJPEGImage* workingPicture = nullptr;
  // The Volume page, owner of the dialog's mixer.
  TVolumePage* VolumePage = nullptr;
  // The Plugins Manager page's behaviour and the plugins folder row.
  TPluginsPage* PluginsPage = nullptr;
  // The language row of the General page.
  TLanguagesPage* LanguagesPage = nullptr;
  // The Colours and Bitmaps pages: the skin.
  TSkinsPage* SkinsPage = nullptr;

protected:
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void BuildFrame();
  void BuildGeneralPage();
  void BuildJpegPage();
  void BuildSkinsPages();
  void BuildVolumePage();
  void BuildPluginsPage();
  void BuildConvertPage();
  void BuildSlideShowPage();
  void BuildAboutPage();
  void ConnectOptionClicks();
  void ApplyEnablingRule();
  // The photo settings into both JPEG controls (the main window's and the working picture).
  void ApplyPhotoSettings();
  void ReadSchemeColours();

  static constexpr QSize kDesignSize{490, 319};
  OptionsHost& host_;
  std::string programFolder_;
  std::string scheme_ = kSchemeName;
  std::string bitmapBoxFolder_;
  std::string pluginBoxFolder_;
};

}  // namespace velk
