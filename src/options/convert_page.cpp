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

FileBoxRequest PictureFilesRequest() {
  FileBoxRequest request;
  // ".jpeg" and ".tiff" load like ".jpg" and ".tif", so they are offered too.
  request.filter = "All Supported Images|*.jpg; *.jpeg; *.bmp; *.gif; *.tif; *.tiff;";
  request.multiSelect = true;
  return request;
}

TConvertPage::TConvertPage(TOptions& options, OptionsHost& host)
    : QObject(&options), options_(options), host_(host) {
  setObjectName("ConvertPage");
  inputList = Control<QListWidget>(options, "ListBox1");
  outputFolderEdit = Control<QLineEdit>(options, "Edit971");
  browseFolder_ = outputFolderEdit->text().toStdString();  // the folder box starts there
  addButton = Control<TToolbarButton97>(options, "ToolbarButton971");
  deleteButton = Control<TToolbarButton97>(options, "ToolbarButton972");
  clearButton = Control<TToolbarButton97>(options, "ToolbarButton976");
  outputFolderButton = Control<TToolbarButton97>(options, "ToolbarButton9716");
  convertButton = Control<TToolbarButton97>(options, "ToolbarButton975");

  auto on = [this](TToolbarButton97* button, void (TConvertPage::*handler)()) {
    connect(button, &TToolbarButton97::clicked, this, [this, handler] {
      Guarded([this, handler] { (this->*handler)(); });
    });
  };
  on(addButton, &TConvertPage::OnAddClicked);
  on(deleteButton, &TConvertPage::OnDeleteClicked);
  on(clearButton, &TConvertPage::OnClearClicked);
  on(outputFolderButton, &TConvertPage::OnOutputFolderClicked);
  on(convertButton, &TConvertPage::OnConvertClicked);
  // User changes only: the creation sequence selects and positions without these events.
  connect(options.convertFormatBox, &QComboBox::activated, this, &TConvertPage::OnFormatChanged);
  connect(options.qualitySlider, &QAbstractSlider::actionTriggered, this,
          &TConvertPage::OnQualityChanged);
}

void TConvertPage::EnableListButtons(bool enabled) {
  for (auto* button : {deleteButton, convertButton, clearButton, outputFolderButton})
    button->setEnabled(enabled);
}

void TConvertPage::OnAddClicked() {
  const auto files = AppDialogs().OpenFiles(PictureFilesRequest());
  if (files.empty()) return;
  AddToSortedList(inputList, files);
  EnableListButtons(true);
  inputList->setCurrentRow(0);
}

void TConvertPage::OnDeleteClicked() {
  delete inputList->takeItem(inputList->currentRow());
  inputList->setCurrentRow(0);
  if (inputList->count() == 0) EnableListButtons(false);
}

void TConvertPage::OnClearClicked() {
  inputList->clear();
  EnableListButtons(false);
}

void TConvertPage::OnOutputFolderClicked() {
  const std::string folder = AppDialogs().PickFolder("Select output directory", browseFolder_);
  if (folder.empty()) return;
  browseFolder_ = folder;
  // The root already ends in the separator; it gets no second one.
  outputFolderEdit->setText(QString::fromStdString(folder.back() == '/' ? folder : folder + "/"));
}

void TConvertPage::OnFormatChanged() {
  options_.qualityPanel->hide();
  if (options_.convertFormatBox->currentIndex() == 1) options_.qualityPanel->show();
}

void TConvertPage::OnQualityChanged() {
  // sliderPosition already holds the new place when the action is reported.
  options_.workingPicture->SetQuality(options_.qualitySlider->sliderPosition() * 10);
}

void TConvertPage::LoadIntoWorkingPicture(const std::string& path, TGIFImage& gif) {
  TJPEGImage& working = *options_.workingPicture;
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

void TConvertPage::OnConvertClicked() {
  if (running_) {
    Cancel();
    return;
  }
  const QScopedValueRollback running(running_, true);
  cancelled_ = false;
  // Events are taken between files: nothing but the button may change the run meanwhile.
  std::vector<std::pair<QWidget*, bool>> locked;
  for (QWidget* control : std::initializer_list<QWidget*>{
           addButton, deleteButton, clearButton, outputFolderButton,
           options_.convertFormatBox, options_.qualitySlider, options_.pageTree}) {
    locked.emplace_back(control, control->isEnabled());
    control->setEnabled(false);
  }
  const QString caption = convertButton->Caption();
  convertButton->SetCaption(LanguageTexts(options_.ProgramFolder())("310", "Cancel"));
  const auto unlock = qScopeGuard([&] {
    for (const auto& [control, enabled] : locked) control->setEnabled(enabled);
    convertButton->SetCaption(caption);
  });
  inputList->setCurrentRow(0);
  int converted = 0;
  int errors = 0;
  std::string writeFailure;  // the first encoder or write failure, shown before the summary
  TGIFImage gif;  // the run's GIF reader and writer
  const int format = options_.convertFormatBox->currentIndex();
  const std::string folder = outputFolderEdit->text().toStdString();
  const int n = inputList->count();
  for (int i = 0; i < n && !cancelled_; ++i) {
    const std::string path = inputList->item(i)->text().toStdString();
    // Whatever fails for one file counts as its error; the run goes on with the next.
    bool loaded = false;
    try {
      LoadIntoWorkingPicture(path, gif);
      loaded = true;
      const Bitmap& bitmap = options_.workingPicture->GetPicture().Bitmap();
      WriteConvertOutput(
          ConvertOutputPath(folder, path, format),
          EncodeConvertOutput(bitmap, format, options_.workingPicture->Quality(), gif));
      ++converted;
    } catch (const std::exception& error) {
      ++errors;
      if (loaded && writeFailure.empty()) writeFailure = MessageOf(error);
    }
    inputList->setCurrentRow(i + 1);  // a click in the list meanwhile does not steer the run
    ShowProgress(i + 1, n);
  }
  inputList->setCurrentRow(0);
  if (!writeFailure.empty()) AppDialogs().ShowError(writeFailure);
  if (errors > 0) AppDialogs().ShowError(ErrorsText(errors));
  AppDialogs().ShowInformation(ConvertedText(converted));
}

}  // namespace velk
