#include "options/convert_page.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include "gif/gif_image.h"
#include "image/jpeg_image.h"
#include "options/conversion.h"
#include "options/languages.h"
#include "options/options_host.h"
#include "options/options_form.h"
#include "options/sorted_list.h"
#include "platform/application.h"
#include "platform/errors.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

template <typename T>
T* Control(TOptions& options, const char* name) {
  auto* control = qobject_cast<T*>(options.FindComponent(name));
  Q_ASSERT(control);
  return control;
}

// Clicks run inside Qt's signal delivery: failures go to the standard error box here.
template <typename F>
void Guarded(F&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(error);
  }
}

}  // namespace

FileBoxRequest OpenDialog3() {
  FileBoxRequest request;
  // ".jpeg" and ".tiff" load like ".jpg" and ".tif", so they are offered too.
  request.filter = "All Supported Images|*.jpg; *.jpeg; *.bmp; *.gif; *.tif; *.tiff;";
  request.multiSelect = true;
  return request;
}

TConvertPage::TConvertPage(TOptions& options, OptionsHost& host)
    : QObject(&options), options_(options), host_(host) {
  setObjectName("ConvertPage");
  ListBox1 = Control<QListWidget>(options, "ListBox1");
  Edit971 = Control<QLineEdit>(options, "Edit971");
  browseFolder_ = Edit971->text().toStdString();  // the folder browser starts where it shows
  ToolbarButton971 = Control<TToolbarButton97>(options, "ToolbarButton971");
  ToolbarButton972 = Control<TToolbarButton97>(options, "ToolbarButton972");
  ToolbarButton976 = Control<TToolbarButton97>(options, "ToolbarButton976");
  ToolbarButton9716 = Control<TToolbarButton97>(options, "ToolbarButton9716");
  ToolbarButton975 = Control<TToolbarButton97>(options, "ToolbarButton975");

  auto on = [this](TToolbarButton97* button, void (TConvertPage::*handler)()) {
    connect(button, &TToolbarButton97::clicked, this, [this, handler] {
      Guarded([this, handler] { (this->*handler)(); });
    });
  };
  on(ToolbarButton971, &TConvertPage::ToolbarButton971Click);
  on(ToolbarButton972, &TConvertPage::ToolbarButton972Click);
  on(ToolbarButton976, &TConvertPage::ToolbarButton976Click);
  on(ToolbarButton9716, &TConvertPage::ToolbarButton9716Click);
  on(ToolbarButton975, &TConvertPage::ToolbarButton975Click);
  // User changes only: the creation sequence selects and positions without these events.
  connect(options.ComboBox973, &QComboBox::activated, this, &TConvertPage::ComboBox973Change);
  connect(options.TrackBar2, &QAbstractSlider::actionTriggered, this,
          &TConvertPage::TrackBar2Change);
}

void TConvertPage::EnableListButtons(bool enabled) {
  for (auto* button : {ToolbarButton972, ToolbarButton975, ToolbarButton976, ToolbarButton9716})
    button->setEnabled(enabled);
}

void TConvertPage::ToolbarButton971Click() {
  const auto files = AppDialogs().OpenFiles(OpenDialog3());
  if (files.empty()) return;
  AddToSortedList(ListBox1, files);
  EnableListButtons(true);
  ListBox1->setCurrentRow(0);
}

void TConvertPage::ToolbarButton972Click() {
  delete ListBox1->takeItem(ListBox1->currentRow());
  ListBox1->setCurrentRow(0);
  if (ListBox1->count() == 0) EnableListButtons(false);
}

void TConvertPage::ToolbarButton976Click() {
  ListBox1->clear();
  EnableListButtons(false);
}

void TConvertPage::ToolbarButton9716Click() {
  const std::string folder = AppDialogs().PickFolder("Select output directory", browseFolder_);
  if (folder.empty()) return;
  browseFolder_ = folder;
  // The root already ends in the separator; it gets no second one.
  Edit971->setText(QString::fromStdString(folder.back() == '/' ? folder : folder + "/"));
}

void TConvertPage::ComboBox973Change() {
  options_.convert1->hide();
  if (options_.ComboBox973->currentIndex() == 1) options_.convert1->show();
}

void TConvertPage::TrackBar2Change() {
  // sliderPosition already holds the new place when the action is reported.
  options_.JPEGImage1->SetQuality(options_.TrackBar2->sliderPosition() * 10);
}

void TConvertPage::LoadIntoWorkingPicture(const std::string& path, TGIFImage& gif) {
  TJPEGImage& working = *options_.JPEGImage1;
  if (IsJpegExtension(LowerExtension(path))) {
    working.SetFileName(path);  // the working control reads and decodes the file itself
    return;
  }
  working.GetPicture().SetBitmap(LoadConvertInput(
      path, gif, PhotoCorrections{working.ApplyOrientation(), working.ConvertProfile()}));
}

void TConvertPage::ShowProgress(int done, int count) {
  const LanguageTexts text(options_.ProgramFolder());
  host_.ShowStatus(text("311", "%1 of %2").arg(done).arg(count));
  QCoreApplication::processEvents();
}

void TConvertPage::ToolbarButton975Click() {
  if (running_) {
    Cancel();
    return;
  }
  const QScopedValueRollback running(running_, true);
  cancelled_ = false;
  // Events are taken between files: nothing but the button may change the run meanwhile.
  std::vector<std::pair<QWidget*, bool>> locked;
  for (QWidget* control : std::initializer_list<QWidget*>{
           ToolbarButton971, ToolbarButton972, ToolbarButton976, ToolbarButton9716,
           options_.ComboBox973, options_.TrackBar2, options_.TreeView1}) {
    locked.emplace_back(control, control->isEnabled());
    control->setEnabled(false);
  }
  const QString caption = ToolbarButton975->Caption();
  ToolbarButton975->SetCaption(LanguageTexts(options_.ProgramFolder())("310", "Cancel"));
  const auto unlock = qScopeGuard([&] {
    for (const auto& [control, enabled] : locked) control->setEnabled(enabled);
    ToolbarButton975->SetCaption(caption);
  });
  ListBox1->setCurrentRow(0);
  int converted = 0;
  int errors = 0;
  std::string writeFailure;  // the first encoder or write failure, shown before the summary
  TGIFImage gif;  // the run's GIF reader and writer
  const int format = options_.ComboBox973->currentIndex();
  const std::string folder = Edit971->text().toStdString();
  const int n = ListBox1->count();
  for (int i = 0; i < n && !cancelled_; ++i) {
    const std::string path = ListBox1->item(i)->text().toStdString();
    // Whatever fails for one file counts as its error; the run goes on with the next.
    bool loaded = false;
    try {
      LoadIntoWorkingPicture(path, gif);
      loaded = true;
      const Bitmap& bitmap = options_.JPEGImage1->GetPicture().Bitmap();
      WriteConvertOutput(ConvertOutputPath(folder, path, format),
                         EncodeConvertOutput(bitmap, format, options_.JPEGImage1->Quality(), gif));
      ++converted;
    } catch (const std::exception& error) {
      ++errors;
      if (loaded && writeFailure.empty()) writeFailure = MessageOf(error);
    }
    ListBox1->setCurrentRow(i + 1);  // a click in the list meanwhile does not steer the run
    ShowProgress(i + 1, n);
  }
  ListBox1->setCurrentRow(0);
  if (!writeFailure.empty()) AppDialogs().ShowError(writeFailure);
  if (errors > 0) AppDialogs().ShowError(ErrorsText(errors));
  AppDialogs().ShowInformation(ConvertedText(converted));
}

}  // namespace velk
