#include "options/slide_show_page.h"

#include <QListWidget>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>

#include "gif/gif_image.h"
#include "image/jpeg_codec.h"
#include "image/jpeg_image.h"
#include "image/tiff_decoders.h"
#include "options/conversion.h"
#include "options/convert_page.h"
#include "options/options_form.h"
#include "options/options_host.h"
#include "options/sorted_list.h"
#include "platform/bmp_codec.h"
#include "platform/dialogs.h"
#include "widgets/toolbar_button.h"

namespace velk {

namespace {

constexpr int kMinDelay = 1;
constexpr int kMaxDelay = 20;

// The kinds read apart from the window, ahead of their turn. A GIF is read at its turn, by the
// window's thread, as its animation wants; ".jpeg", ".tif" and ".tiff" load as the conversion
// utility loads them.
bool ReadApart(const std::string& extension) {
  return IsJpegExtension(extension) || extension == ".bmp" || extension == ".tif" ||
         extension == ".tiff";
}

template <typename T>
T* Control(TOptions& options, const char* name) {
  auto* control = qobject_cast<T*>(options.FindComponent(name));
  Q_ASSERT(control);
  return control;
}

}  // namespace

TSlideShowPage::TSlideShowPage(TOptions& options, OptionsHost& host)
    : QObject(&options), options_(options), host_(host) {
  setObjectName("SlideShowPage");
  slideList = Control<QListWidget>(options, "Listbox971");
  delayBox = Control<QSpinBox>(options, "SpinEdit1");
  startButton = Control<TToolbarButton97>(options, "ToolbarButton9717");
  addButton = Control<TToolbarButton97>(options, "ToolbarButton9718");
  removeButton = Control<TToolbarButton97>(options, "ToolbarButton9719");
  clearButton = Control<TToolbarButton97>(options, "ToolbarButton9720");
  previewButton = Control<TToolbarButton97>(options, "ToolbarButton9721");
  slideTimer = new QTimer(this);
  slideTimer->setObjectName("Timer1");
  slideTimer->setInterval(1000);

  connect(startButton, &TToolbarButton97::clicked, this, &TSlideShowPage::OnStartClicked);
  connect(addButton, &TToolbarButton97::clicked, this, &TSlideShowPage::OnAddClicked);
  connect(removeButton, &TToolbarButton97::clicked, this, &TSlideShowPage::OnRemoveClicked);
  connect(clearButton, &TToolbarButton97::clicked, this, &TSlideShowPage::OnClearClicked);
  connect(previewButton, &TToolbarButton97::clicked, this, &TSlideShowPage::OnPreviewClicked);
  connect(delayBox, &QSpinBox::textChanged, this, &TSlideShowPage::OnDelayChanged);
  connect(slideTimer, &QTimer::timeout, this, &TSlideShowPage::OnSlideTimer);
}

TSlideShowPage::~TSlideShowPage() {
  if (reader_.joinable()) reader_.join();
}

void TSlideShowPage::OnAddClicked() {
  const auto files = AppDialogs().OpenFiles(PictureFilesRequest());
  if (files.empty()) return;
  AddToSortedList(slideList, files);
  for (auto* button : {removeButton, clearButton, previewButton})
    button->setEnabled(true);
  startButton->setEnabled(slideList->count() > 1);
  slideList->setCurrentRow(0);
}

void TSlideShowPage::OnRemoveClicked() {
  delete slideList->takeItem(slideList->currentRow());
  slideList->setCurrentRow(0);
  const int count = slideList->count();
  if (count <= 1) startButton->setEnabled(false);
  if (count == 0)
    for (auto* button : {removeButton, clearButton, previewButton})
      button->setEnabled(false);
}

void TSlideShowPage::OnClearClicked() {
  slideList->clear();
  for (auto* button : {startButton, removeButton, clearButton, previewButton})
    button->setEnabled(false);
}

void TSlideShowPage::OnDelayChanged() {
  // Text that is no whole number counts as the minimum; a typed value is kept within range
  // before the box corrects it, so the timer never stalls at 0.
  bool ok = false;
  const int seconds = delayBox->cleanText().toInt(&ok);
  slideTimer->setInterval(std::clamp(ok ? seconds : kMinDelay, kMinDelay, kMaxDelay) * 1000);
}

void TSlideShowPage::OnStartClicked() {
  ahead_ = {};  // the files may have changed since the last show
  slideTimer->start();
  slideList->setCurrentRow(0);
  OnSlideTimer();
}

TSlideShowPage::PreparedSlide TSlideShowPage::ReadSlide(const std::string& path,
                                                        const JpegDecodeOptions& options,
                                                        int progressStep) {
  PreparedSlide slide;
  const std::string extension = LowerExtension(path);
  if (IsJpegExtension(extension)) {
    slide.bytes = std::make_shared<const std::vector<uint8_t>>(ReadJpegFile(path));
    slide.bitmap = DecodeJpeg(slide.bytes->data(), slide.bytes->size(), options, progressStep,
                              [&](int) { ++slide.progressEvents; });
  } else if (extension == ".bmp") {
    slide.bitmap = LoadBmpFile(path);
  } else {
    TiffMessages quiet;  // a running show passes over a bad slide without a message
    slide.bitmap = LoadTiffInput(path, {options.applyOrientation, options.convertProfile});
  }
  return slide;
}

void TSlideShowPage::LoadSlide(const std::string& path) {
  TJPEGImage& working = *options_.workingPicture;
  const std::string extension = LowerExtension(path);
  if (ReadApart(extension)) {
    AdoptSlide(path, ReadSlide(path, working.DecodeOptions(), working.ProgressStep()));
  } else if (extension == ".gif") {
    TGIFImage gif;  // one per tick
    working.GetPicture().SetBitmap(LoadGifInput(path, gif));
  }
  // Other files load nothing: the caption changes over the previous picture.
}

void TSlideShowPage::AdoptSlide(const std::string& path, PreparedSlide slide) {
  TJPEGImage& working = *options_.workingPicture;
  Picture picture;
  picture.SetBitmap(std::move(slide.bitmap));
  if (slide.bytes)
    working.AdoptFile(path, slide.bytes, working.DecodeOptions(), slide.progressEvents, picture,
                      "");
  else
    working.GetPicture().Assign(picture);
}

void TSlideShowPage::OnSlideTimer() {
  const int count = slideList->count();
  if (count == 0) return;
  const int row = std::clamp(slideList->currentRow(), 0, count - 1);
  const std::string path = slideList->item(row)->text().toStdString();
  try {
    if (std::optional<PreparedSlide> slide = TakeAhead(path)) AdoptSlide(path, std::move(*slide));
    else LoadSlide(path);
  } catch (const std::exception&) {
    // Passed over: the previous slide stays under the new caption.
  }
  try {
    host_.ShowFullScreen(options_.workingPicture->GetPicture(), QString::fromStdString(path));
  } catch (const std::exception&) {
  }
  slideList->setCurrentRow(row == count - 1 ? 0 : row + 1);
  if (slideTimer->isActive()) {
    slideTimer->start();  // the delay counts from now, however long the slide took to read
    ReadAhead();
  }
}

void TSlideShowPage::ReadAhead() {
  const std::string path = slideList->currentItem()->text().toStdString();
  const TJPEGImage& working = *options_.workingPicture;
  const JpegDecodeOptions options = working.DecodeOptions();
  const int progressStep = working.ProgressStep();
  if (!ReadApart(LowerExtension(path))) {
    ahead_ = {};
    return;
  }
  std::packaged_task<PreparedSlide()> read(
      [=] { return ReadSlide(path, options, progressStep); });
  ahead_ = {path, options, progressStep, read.get_future()};
  if (reader_.joinable()) reader_.join();  // done long ago, a slide's delay having passed
  reader_ = std::thread(std::move(read));
}

std::optional<TSlideShowPage::PreparedSlide> TSlideShowPage::TakeAhead(const std::string& path) {
  Ahead ahead = std::exchange(ahead_, {});
  const TJPEGImage& working = *options_.workingPicture;
  if (ahead.path != path || ahead.options != working.DecodeOptions() ||
      ahead.progressStep != working.ProgressStep() || !ahead.result.valid())
    return std::nullopt;
  return ahead.result.get();  // throws what the reading threw
}

void TSlideShowPage::OnPreviewClicked() {
  const int shown = std::max(slideList->currentRow(), 0);
  OnSlideTimer();
  if (slideList->count() > 1) slideList->setCurrentRow(shown);
}

}  // namespace velk
