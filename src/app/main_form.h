#pragma once
// The main window: drive box, folder list, file list and filter box on the left, the picture
// in the image area on the right, the properties panel, the toolbar and the status line.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/picture_loader.h"
#include "app/viewer_settings.h"
#include "options/options_host.h"

namespace velk {

class ScrollBox;
class TDirectoryListBox;
class TFileListBox;
class TFilterComboBox;
class TFullscreenform;
class TGIFImage;
class TGProgress;
class TImageAspect;
class TJPEGImage;
class TLoupeform;
class TPathComboBox;
class TShortcutLink;
class TToolbarButton97;
class TTransImage;
class TOptionBox;
class TOptions;
class HintTracker;
class FileCommands;

// What the main window needs from its surroundings; tests point it at temporary places.
struct MainformEnvironment {
  std::string programFolder;  // with trailing "/"
  std::string programPath;
  std::string hivePath;       // the registry hive file
  std::string programsFolder; // where the first run puts its shortcuts
  std::string desktopFolder;
  std::vector<std::string> entryFolders;  // where an installed desktop entry would be
  QStringList arguments;      // command-line arguments after the program name
  // Loads pictures off the window's thread; the window makes its own when none is given (the
  // program gives one that started on the command line's file before the window was made).
  PictureLoader* loader = nullptr;

  // Every place inside one folder (program/, programs/, desktop/, config/hkcu.reg), for runs
  // that must not touch the user's own: tests, benchmarks, fuzzing. folder has no trailing "/".
  static MainformEnvironment InFolder(const std::string& folder) {
    MainformEnvironment environment;
    environment.programFolder = folder + "/program/";
    environment.programPath = folder + "/program/velkview";
    environment.hivePath = folder + "/config/hkcu.reg";
    environment.programsFolder = folder + "/programs";
    environment.desktopFolder = folder + "/desktop";
    return environment;
  }
};

class TMainform : public QWidget, public OptionsHost {
  Q_OBJECT
public:
  // Builds the window and runs FormCreate.
  TMainform(ViewerSettings& settings, TLoupeform* loupe, TFullscreenform* fullscreen,
            MainformEnvironment environment, QWidget* parent = nullptr);
  ~TMainform() override;

  void FormCreate();
  // The end of start-up, once the options dialog has restored the zoom and the file: a file
  // named on the command line is shown (once) whatever the restored index and options say.
  void FinishStartup();
  // Saves the settings; false (after the error box) when a value could not be written.
  bool FormClose();
  void OnFileSelected() override;
  void OnZoomChanged() override;
  void OnPictureProgress();
  void ShowHint(const QString& hint);
  // Says in the status line what a command did, also over the picture it leads to.
  void ShowNotice(const QString& text);
  // Shows the picture in the full-screen window under the file's path.
  void ShowFullScreen();
  // The same once the selected file has loaded (at once when it has).
  void ShowFullScreenWhenLoaded();
  // A picture is loading off the window's thread for the selected file.
  bool PictureLoading() const { return loader_->Loading(); }
  // A picture of the file is ready, made with the current display settings.
  bool PictureReady(const std::string& path) {
    return loader_->TakeReady(RequestFor(path)) != nullptr;
  }
  // What a load of the file asks for, with the current display settings.
  LoadRequest RequestFor(const std::string& path) const;
  // What RequestFor will say for a file shown at start-up with the settings in the hive, read
  // before any window is made (so the picture can be decoded meanwhile).
  static LoadRequest StartRequest(const std::string& hivePath, const std::string& path);
  // The file the hive says start-up shows without one on the command line ("" for none or
  // when that is not known cheaply).
  static std::string RememberedStartFile(const std::string& hivePath);

  // The toolbar's commands, by the tag of the control that fired.
  void MenuClick(QObject* sender);
  void pihandler(QObject* sender);
  void plugmenu(int index);
  void OnMinimizeClicked();
  // The options dialog, made after this window; its pages open from the toolbar and its
  // boxes are saved with the settings.
  void SetOptionsDialog(TOptions* options);
  const std::string& ProgramFolder() const { return environment_.programFolder; }

  // What the options dialog reaches in this window.
  ViewerSettings& Settings() override { return settings_; }
  TCustomJPEGImage& MainJPEGImage() override;
  int ZoomIndex() const override;
  void SetZoomIndex(int index) override;
  void SetFileIndex(int index) override;
  QStringList PluginMenuItems() const override;
  void SetPluginMenuItems(const QStringList& items) override;
  void StartPlugin(const std::string& library, const std::string& procedure) override;
  void TranslateMainWindow() override;  // in translate_main_window.cpp
  void ShowFullScreen(const Picture& picture, const QString& caption) override;
  void ShowStatus(const QString& text) override { ShowHint(text); }
  // The skin (main_form_skin.cpp).
  void LoadSkinPicture(const std::string& path) override;
  Picture& SkinPicture() override;
  void SetSkinTransColor(TColor colour) override;
  void ApplySkinShape() override;
  void SetButtonGlyph(int entry, const Bitmap& glyph) override;
  QImage ButtonGlyph(int entry) const override;
  void ApplySkinColour(int tag, TColor colour) override;
  TGIFImage& GIFImage() { return *gif_; }

  // Controls; NameControls gives each the object name files and skins find it by.
  TTransImage* skinImage;
  QWidget* titlePanel;  // behind the title and the minimise and close buttons
  QWidget* toolbarPanel;
  QLabel* titleLabel;
  TToolbarButton97 *executeButton, *aboutButton, *clearButton, *refreshButton, *fullScreenButton,
      *optionsButton, *loupeButton, *minimizeButton, *closeButton, *volumeButton, *convertButton,
      *skinsButton, *slideShowButton;
  TOptionBox* pluginMenuButton;
  QComboBox* zoomBox;
  TPathComboBox* driveBox;
  TDirectoryListBox* folderList;
  TFileListBox* fileList;
  TFilterComboBox* filterBox;
  // The properties panel: its heading ("File Properties..."), captions and values.
  QLabel* propertiesHeading;
  QLabel *nameCaption, *locationCaption, *sizeCaption, *typeCaption, *modifiedCaption;
  QLabel *nameValue, *locationValue, *sizeValue, *typeValue, *modifiedValue;
  ScrollBox* imageArea;
  TImageAspect* fitView;    // the picture scaled into the area at "To fit"
  TJPEGImage* pictureView;  // the picture at every other zoom
  QLabel* statusLine;
  TGProgress* progressBar;
  std::unique_ptr<TShortcutLink> launcherLink;
  FileCommands* fileCommands;

protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  void OpenPage(int node);
  void BuildControls();
  void BuildToolbar();
  void BuildBrowser();
  void BuildPropertiesPanel();
  void BuildImageArea();
  // Gives each control its design name as its object name (the one table of those names).
  void NameControls();
  void ConnectControls();
  void RestoreSettings();
  void ApplyLoupeSettings();
  void MakeShortcuts();
  void OpenCommandLineFile();
  // Selects in the file list without running OnFileSelected.
  void SelectQuietly(const std::function<void()>& select);
  // Shows a loaded file: picture, panel and status line in one go, then loads its neighbours.
  void Present(const LoadedPointer& loaded);
  // Puts the loaded picture into the picture controls; throws what its loader threw (a JPEG's
  // error only goes to the status line).
  void AdoptPicture(const LoadedPicture& loaded);
  void PreloadNeighbours(const LoadedPointer& shown);
  // What to load ahead around the list's entry: the next file in the direction of travel,
  // then the previous one.
  std::vector<LoadRequest> NeighboursOf(int index);
  // What the status line says of the picture when no hint is shown (why it is damaged or
  // empty); "" for a picture shown whole.
  void SetPictureStatus(const QString& text);
  void FillProperties(const std::string& path);
  // The shown file has a new name on disk: the panel says it, without a new load.
  void OnShownFileRenamed(const std::string& from, const std::string& to);
  void SetFileButtonsEnabled(bool enabled);
  int CheckedLoupeSpeed() const;
  TToolbarButton97* GlyphButton(int entry) const;

  ViewerSettings& settings_;
  TLoupeform* loupe_;
  TFullscreenform* fullscreen_;
  MainformEnvironment environment_;
  std::shared_ptr<TGIFImage> gif_;
  std::unique_ptr<PictureLoader> ownLoader_;
  PictureLoader* loader_;
  HintTracker* hints_ = nullptr;
  TOptions* options_ = nullptr;
  // The existing file named on the command line, until start-up has shown it.
  std::string startFile_;
  // The existing files named on the command line when it names several.
  std::vector<std::string> givenFiles_;
  std::string loadedFile_;  // the file the last selection loaded or tried to load
  QString pictureStatus_;
  QString notice_;  // a command's notice, for the picture still loading that it led to
  // Status-line openings, in the current language.
  QString damagedText_ = "The picture is damaged";
  QString unreadableText_ = "The picture cannot be shown";
  bool quietSelection_ = false;
  // When the progress bar was last put on screen; it is painted at most once per frame.
  QElapsedTimer progressFrame_;
  static constexpr int kProgressFrameMs = 16;
  // The fitted copy made with the shown picture, for the picture of that generation.
  struct OfferedFit {
    QImage image;
    QRect target;
    uint64_t generation = 0;
  } offeredFit_;
  bool presenting_ = false;        // a loaded picture is being put on screen
  bool selectionPending_ = false;  // OnFileSelected was asked for meanwhile (a box was up)
  bool fullScreenFollows_ = false; // the full-screen view shows the selected file once loaded
  // Where the user is going in the list (+1 down, -1 up): that neighbour is loaded first.
  int travel_ = 1;
  int shownIndex_ = -1;
  // Scheme colours kept for painting: the form, the full-screen window.
  QColor formColour_ = Qt::black;
  QColor fullscreenBackground_ = Qt::black;
  QColor fullscreenText_ = Qt::white;
  // The lists' and boxes' colours: always set together, so no platform colour shows between.
  QColor containerColour_ = Qt::white;
  QColor containerText_ = Qt::black;
};

}  // namespace velk
