#pragma once
// The Convert page (Panel8) of the options dialog: the conversion list, the output folder and
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

// OpenDialog3, shared with the slide show.
FileBoxRequest OpenDialog3();

class TConvertPage : public QObject {
  Q_OBJECT
public:
  // Finds the page's controls (built on Panel8) and connects their handlers.
  TConvertPage(TOptions& options, OptionsHost& host);

  void ToolbarButton971Click();   // Add
  void ToolbarButton972Click();   // Delete
  void ToolbarButton976Click();   // Clear
  void ToolbarButton9716Click();  // Output directory
  void ComboBox973Change();
  void TrackBar2Change();
  // The run. A file that fails to load, encode or write counts as an error and the run goes on;
  // the first encode or write failure's message comes before the summary. The list and the
  // status line ("n of N") follow each file; while it runs the button (or Escape) cancels the
  // run after the current file, and the summary counts the files done.
  void ToolbarButton975Click();
  bool Running() const { return running_; }
  void Cancel() { cancelled_ = true; }

  QListWidget* ListBox1;
  QLineEdit* Edit971;
  TToolbarButton97* ToolbarButton971;
  TToolbarButton97* ToolbarButton972;
  TToolbarButton97* ToolbarButton976;
  TToolbarButton97* ToolbarButton9716;
  TToolbarButton97* ToolbarButton975;

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
  std::string browseFolder_ = "/";  // FolderBrowse2 starts at the folder chosen last
};

}  // namespace velk
