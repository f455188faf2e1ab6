#include "options/slide_show_page.h"

#include <QListWidget>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "gif/gif_image.h"
#include "image/jpeg_image.h"
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

// A running show is passed over bad slides without a message, so the TIFF reader's own
// message boxes go to a service that only records them.
Bitmap LoadTiffQuietly(const std::string& path, PhotoCorrections corrections) {
  struct Restore {
    std::shared_ptr<Dialogs> previous;
    ~Restore() { InstallDialogs(previous); }
  } restore{InstallDialogs(std::make_shared<ScriptedDialogs>())};
  return LoadTiffInput(path, corrections);
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
  Listbox971 = Control<QListWidget>(options, "Listbox971");
  SpinEdit1 = Control<QSpinBox>(options, "SpinEdit1");
  ToolbarButton9717 = Control<TToolbarButton97>(options, "ToolbarButton9717");
  ToolbarButton9718 = Control<TToolbarButton97>(options, "ToolbarButton9718");
  ToolbarButton9719 = Control<TToolbarButton97>(options, "ToolbarButton9719");
  ToolbarButton9720 = Control<TToolbarButton97>(options, "ToolbarButton9720");
  ToolbarButton9721 = Control<TToolbarButton97>(options, "ToolbarButton9721");
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);

  connect(ToolbarButton9717, &TToolbarButton97::clicked, this, &TSlideShowPage::ToolbarButton9717Click);
  connect(ToolbarButton9718, &TToolbarButton97::clicked, this, &TSlideShowPage::ToolbarButton9718Click);
  connect(ToolbarButton9719, &TToolbarButton97::clicked, this, &TSlideShowPage::ToolbarButton9719Click);
  connect(ToolbarButton9720, &TToolbarButton97::clicked, this, &TSlideShowPage::ToolbarButton9720Click);
  connect(ToolbarButton9721, &TToolbarButton97::clicked, this, &TSlideShowPage::ToolbarButton9721Click);
  connect(SpinEdit1, &QSpinBox::textChanged, this, &TSlideShowPage::SpinEdit1Change);
  connect(Timer1, &QTimer::timeout, this, &TSlideShowPage::Timer1Timer);
}

void TSlideShowPage::ToolbarButton9718Click() {
  const auto files = AppDialogs().OpenFiles(OpenDialog3());
  if (files.empty()) return;
  AddToSortedList(Listbox971, files);
  for (auto* button : {ToolbarButton9719, ToolbarButton9720, ToolbarButton9721})
    button->setEnabled(true);
  ToolbarButton9717->setEnabled(Listbox971->count() > 1);
  Listbox971->setCurrentRow(0);
}

void TSlideShowPage::ToolbarButton9719Click() {
  delete Listbox971->takeItem(Listbox971->currentRow());
  Listbox971->setCurrentRow(0);
  const int count = Listbox971->count();
  if (count <= 1) ToolbarButton9717->setEnabled(false);
  if (count == 0)
    for (auto* button : {ToolbarButton9719, ToolbarButton9720, ToolbarButton9721})
      button->setEnabled(false);
}

void TSlideShowPage::ToolbarButton9720Click() {
  Listbox971->clear();
  for (auto* button : {ToolbarButton9717, ToolbarButton9719, ToolbarButton9720, ToolbarButton9721})
    button->setEnabled(false);
}

void TSlideShowPage::SpinEdit1Change() {
  // Text that is no whole number counts as the minimum; a typed value is kept within range
  // before the box corrects it, so the timer never stalls at 0.
  bool ok = false;
  const int seconds = SpinEdit1->cleanText().toInt(&ok);
  Timer1->setInterval(std::clamp(ok ? seconds : kMinDelay, kMinDelay, kMaxDelay) * 1000);
}

void TSlideShowPage::ToolbarButton9717Click() {
  Timer1->start();
  Listbox971->setCurrentRow(0);
  Timer1Timer();
}

void TSlideShowPage::LoadSlide(const std::string& path) {
  TJPEGImage& working = *options_.JPEGImage1;
  const std::string extension = LowerExtension(path);
  // ".jpeg", ".tif" and ".tiff" are loaded as the conversion utility loads them.
  if (IsJpegExtension(extension)) {
    working.SetFileName(path);
    return;
  }
  TGIFImage gif;  // one per tick
  if (extension == ".bmp") working.GetPicture().SetBitmap(LoadBmpFile(path));
  else if (extension == ".gif") working.GetPicture().SetBitmap(LoadGifInput(path, gif));
  else if (extension == ".tif" || extension == ".tiff")
    working.GetPicture().SetBitmap(LoadTiffQuietly(
        path, PhotoCorrections{working.ApplyOrientation(), working.ConvertProfile()}));
  // Other files load nothing: the caption changes over the previous picture.
}

void TSlideShowPage::Timer1Timer() {
  const int count = Listbox971->count();
  if (count == 0) return;
  const int row = std::clamp(Listbox971->currentRow(), 0, count - 1);
  const std::string path = Listbox971->item(row)->text().toStdString();
  try {
    LoadSlide(path);
  } catch (const std::exception&) {
    // Passed over: the previous slide stays under the new caption.
  }
  try {
    host_.ShowFullScreen(options_.JPEGImage1->GetPicture(), QString::fromStdString(path));
  } catch (const std::exception&) {
  }
  Listbox971->setCurrentRow(row == count - 1 ? 0 : row + 1);
}

void TSlideShowPage::ToolbarButton9721Click() {
  const int shown = std::max(Listbox971->currentRow(), 0);
  Timer1Timer();
  if (Listbox971->count() > 1) Listbox971->setCurrentRow(shown);
}

}  // namespace velk
