#pragma once
// The Slide Show page (Panel9) of the options dialog: the slide list, the delay and Timer1,
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
  // Finds the page's controls (built on Panel9), makes Timer1 and connects the handlers.
  TSlideShowPage(TOptions& options, OptionsHost& host);

  void ToolbarButton9718Click();  // Add
  void ToolbarButton9719Click();  // Remove
  void ToolbarButton9720Click();  // Clear
  void SpinEdit1Change();
  void ToolbarButton9717Click();  // Start
  void Timer1Timer();
  void ToolbarButton9721Click();  // Preview

  QListWidget* Listbox971;
  QSpinBox* SpinEdit1;
  TToolbarButton97* ToolbarButton9717;
  TToolbarButton97* ToolbarButton9718;
  TToolbarButton97* ToolbarButton9719;
  TToolbarButton97* ToolbarButton9720;
  TToolbarButton97* ToolbarButton9721;
  QTimer* Timer1;

private:
  // Loads one slide into the working picture by its extension; throws on failure.
  void LoadSlide(const std::string& path);

  TOptions& options_;
  OptionsHost& host_;
};

}  // namespace velk
