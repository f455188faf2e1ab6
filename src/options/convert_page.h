#pragma once
// The Convert page ("Panel8") of the options dialog: the conversion list, the output folder and
// format, the JPEG quality slider and the conversion run over the dialog's working picture.
#include <QObject>
#include <string>

#include "platform/dialogs.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QSlider;

namespace velk {

class OptionsHost;
class TGIFImage;
class TOptions;
class TToolbarButton97;

// The file box that adds pictures to a list, shared with the slide show.
FileBoxRequest PictureFilesRequest();

class TConvertPage : public QObject {
  Q_OBJECT
public:
  // Finds the page's controls (built on "Panel8") and connects their handlers.
  TConvertPage(TOptions& options, OptionsHost& host);

  void OnAddClicked();
  void OnDeleteClicked();
  void OnClearClicked();
  void OnOutputFolderClicked();
  void OnFormatChanged();
  void OnQualityChanged();
  // The run. A file that fails to load, encode or write counts as an error and the run goes on;
  // the first encode or write failure's message comes before the summary. The list and the
  // status line ("n of N") follow each file; while it runs the button (or Escape) cancels the
  // run after the current file, and the summary counts the files done.
  void OnConvertClicked();
  bool Running() const { return running_; }
  void Cancel() { cancelled_ = true; }

  QListWidget* inputList;
  QLineEdit* outputFolderEdit;
  TToolbarButton97* addButton;
  TToolbarButton97* deleteButton;
  TToolbarButton97* clearButton;
  TToolbarButton97* outputFolderButton;
  TToolbarButton97* convertButton;

private:
  void EnableListButtons(bool enabled);
  // Loads one file into the working picture; throws on failure.
  void LoadIntoWorkingPicture(const std::string& path, TGIFImage& gif);

  // After each file: the list and the status line drawn, a cancel taken.
  void ShowProgress(int done, int count);

  TOptions& options_;
  OptionsHost& host_;
  bool running_ = false;
  bool cancelled_ = false;
  std::string browseFolder_ = "/";  // the folder box starts at the folder chosen last
};

}  // namespace velk
