#pragma once
// The Slide Show page ("Panel9") of the options dialog: the slide list, the delay and slideTimer,
// which shows the files one by one in the full-screen window until it is clicked.
#include <QObject>
#include <string>

class QListWidget;
class QSpinBox;
class QTimer;

namespace velk {

class OptionsHost;
class TOptions;
class TToolbarButton97;

class TSlideShowPage : public QObject {
  Q_OBJECT
public:
  // Finds the page's controls (built on "Panel9"), makes slideTimer and connects the handlers.
  TSlideShowPage(TOptions& options, OptionsHost& host);

  void OnAddClicked();
  void OnRemoveClicked();
  void OnClearClicked();
  void OnDelayChanged();
  void OnStartClicked();
  void OnSlideTimer();
  void OnPreviewClicked();

  QListWidget* slideList;
  QSpinBox* delayBox;
  TToolbarButton97* startButton;
  TToolbarButton97* addButton;
  TToolbarButton97* removeButton;
  TToolbarButton97* clearButton;
  TToolbarButton97* previewButton;
  QTimer* slideTimer;

private:
  // Loads one slide into the working picture by its extension; throws on failure.
  void LoadSlide(const std::string& path);

  TOptions& options_;
  OptionsHost& host_;
};

}  // namespace velk
