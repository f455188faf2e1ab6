// Browsing and presenting: a selected file is loaded off the window's thread, then its
// picture, the properties panel and the status line change together at the chosen zoom.
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QThread>
#include <utility>

#include "app/fullscreen_form.h"
#include "app/main_form.h"
#include "app/properties_text.h"
#include "app/scroll_box.h"
#include "app/zoom.h"
#include "chrome/g_progress.h"
#include "gif/gif_image.h"
#include "image/image_aspect.h"
#include "image/jpeg_image.h"
#include "image/tiff_decoders.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/file_path.h"
#include "widgets/file_list_box.h"
#include "widgets/toolbar_button.h"

namespace velk {

void TMainform::SelectQuietly(const std::function<void()>& select) {
  const QScopedValueRollback quiet(quietSelection_, true);
  select();
}

void TMainform::ShowHint(const QString& hint) {
  statusLine->setText(hint.isEmpty() ? pictureStatus_ : hint);
}

void TMainform::ShowNotice(const QString& text) {
  if (loader_->Loading()) notice_ = text;
  SetPictureStatus(text);
}

void TMainform::SetPictureStatus(const QString& text) {
  pictureStatus_ = text;
  statusLine->setText(text);
}

void TMainform::ShowFullScreen() {
  ShowFullScreen(pictureView->GetPicture(), QString::fromStdString(fileList->FileName()));
}

void TMainform::ShowFullScreenWhenLoaded() {
  if (loader_->Loading()) fullScreenFollows_ = true;
  else ShowFullScreen();
}

void TMainform::SetFileButtonsEnabled(bool enabled) {
  for (auto* b : {executeButton, clearButton, refreshButton, fullScreenButton})
    b->setEnabled(enabled);
}

void TMainform::OnFileSelected() {
  if (presenting_) {
    // Asked again while a picture is put on screen (a box shown meanwhile): shown afterwards.
    selectionPending_ = true;
    return;
  }
  const std::string path = fileList->FileName();
  const int index = fileList->ItemIndex();
  if (shownIndex_ >= 0 && index >= 0 && index != shownIndex_)
    travel_ = index < shownIndex_ ? -1 : 1;
  const LoadRequest request = RequestFor(path);
  if (KindOf(path) == FileKind::Unsupported) {
    loader_->CancelWanted();
    Present(std::make_shared<const LoadedPicture>(LoadPicture(request)));
    return;
  }
  if (LoadedPointer ready = loader_->TakeReady(request)) {
    loader_->CancelWanted();
    Present(ready);
    return;
  }
  if (QThread::currentThread()->loopLevel() == 0) {
    // Before the event loop runs (start-up) and for callers without one, the picture is
    // there when this returns.
    loader_->CancelWanted();
    Present(loader_->Wait(request));
    return;
  }
  // The window goes on taking input; the picture on screen stays until this one is ready.
  progressBar->hide();
  progressBar->SetPosition(0);
  progressFrame_.start();
  // Only what stays next to the new place is worth its memory while the new picture decodes.
  loader_->Retain(NeighboursOf(index));
  loader_->Want(request);
}

void TMainform::Present(const LoadedPointer& loaded) {
  {
    const QScopedValueRollback presenting(presenting_, true);
    pictureView->GetPicture().Clear();
    gif_ = std::make_shared<TGIFImage>();
    const std::string& path = loaded->request.path;
    nameValue->setToolTip(QString::fromStdString(ExtractFileName(path)));
    SetFileButtonsEnabled(!path.empty());
    locationValue->setToolTip(QString::fromStdString(ExtractFilePath(path)));
    for (QLabel* label : {nameValue, locationValue, sizeValue, typeValue, modifiedValue})
      label->clear();
    imageArea->setAccessibleDescription(QString());
    locationValue->adjustSize();  // the label sizes itself to its text until it grows too wide
    loadedFile_.clear();
    SetPictureStatus(std::exchange(notice_, {}));
    progressBar->hide();
    shownIndex_ = fileList->ItemIndex();
    if (loaded->kind == FileKind::Unsupported) {
      // Nothing to show (another folder, no selection): the pictures kept ready are let go.
      loader_->Retain({});
    } else {
      // The fitted copy stays on screen until the new picture replaces it.
      fitView->ReleasePictureKeepingView();
      loadedFile_ = path;  // tried, whether or not it loads: start-up asks for it once
      bool failed = false;
      try {
        AdoptPicture(*loaded);
        offeredFit_ = {loaded->fitted, loaded->fittedTarget,
                       pictureView->GetPicture().Generation()};
      } catch (const std::exception& error) {
        // The loader's message; the panel stays blank and the picture empty, the fitted copy
        // too, so what is on screen agrees with the panel.
        pictureView->GetPicture().Clear();
        fitView->SetPicture(Picture());
        SetPictureStatus(unreadableText_ + ": " + QString::fromStdString(MessageOf(error)));
        ShowException(error);
        failed = true;
      }
      if (!failed) {
        FillProperties(path);
        OnZoomChanged();
      }
      PreloadNeighbours(loaded);
    }
    if (std::exchange(fullScreenFollows_, false) && fullscreen_ && fullscreen_->isVisible())
      ShowFullScreen();
  }
  if (std::exchange(selectionPending_, false)) OnFileSelected();
}

void TMainform::AdoptPicture(const LoadedPicture& loaded) {
  const std::string& path = loaded.request.path;
  switch (loaded.kind) {
    case FileKind::Jpeg: {
      std::string warning = loaded.warning;
      if (loaded.error) {
        // A file that does not decode shows an empty picture and its properties; only the
        // status line tells why.
        try {
          std::rethrow_exception(loaded.error);
        } catch (const std::exception& error) {
          SetPictureStatus(unreadableText_ + ": " + QString::fromStdString(MessageOf(error)));
        }
        warning.clear();
      }
      pictureView->AdoptFile(path, loaded.bytes, loaded.request.jpeg, loaded.progressEvents,
                            loaded.picture, warning);
      // A damaged file shows what libjpeg made of it, and the status line says why.
      if (!warning.empty())
        SetPictureStatus(damagedText_ + ": " + QString::fromStdString(warning));
      break;
    }
    case FileKind::Gif:
      if (loaded.gif) gif_ = loaded.gif;
      if (loaded.error) std::rethrow_exception(loaded.error);
      pictureView->GetPicture().AssignGraphic(*gif_);
      break;
    case FileKind::Bitmap:
    case FileKind::Tiff:
      for (const std::string& message : loaded.messages) ShowTiffMessage(message);
      if (loaded.error) std::rethrow_exception(loaded.error);
      pictureView->GetPicture().Assign(loaded.picture);
      break;
    case FileKind::Unsupported:
      break;
  }
}

std::vector<LoadRequest> TMainform::NeighboursOf(int index) {
  std::vector<LoadRequest> neighbours;
  for (const int step : {travel_, -travel_}) {
    const std::string path = fileList->EntryPath(index + step);
    if (KindOf(path) != FileKind::Unsupported) neighbours.push_back(RequestFor(path));
  }
  return neighbours;
}

void TMainform::PreloadNeighbours(const LoadedPointer& shown) {
  const int index = fileList->ItemIndex();
  const bool selected = index >= 0 && fileList->EntryPath(index) == shown->request.path;
  loader_->Preload(shown, selected ? NeighboursOf(index) : std::vector<LoadRequest>{});
}

void TMainform::FillProperties(const std::string& path) {
  nameValue->setText(QString::fromStdString(ExtractFileName(path)));
  locationValue->setText(QFileInfo(QString::fromStdString(path)).absolutePath());
  locationValue->adjustSize();
  if (locationValue->width() > 150) locationValue->resize(150, 13);  // clipped; the hint has it all

  const QFileInfo info(QString::fromStdString(path));
  if (info.exists()) {
    modifiedValue->setText(DateTimeText(info.lastModified(), QLocale::system()));
    sizeValue->setText(FileSizeText(info.size(), QLocale::system()));
  } else {
    sizeValue->setText("0B");  // the file went away after it was listed
  }
  const Picture& picture = pictureView->GetPicture();
  sizeValue->setText(sizeValue->text() +
                  QString(" (%1 x %2)").arg(picture.Width()).arg(picture.Height()));
  const std::string ext = LowerFileExt(path);
  if (ext == "bmp") typeValue->setText("Bitmap Image");
  else if (ext == "jpg" || ext == "jpeg") typeValue->setText("JPEG Image");
  else if (ext == "gif") typeValue->setText("Gif Image");
  imageArea->setAccessibleDescription(nameValue->text() + ", " + sizeValue->text());
}

void TMainform::OnShownFileRenamed(const std::string& from, const std::string& to) {
  if (loadedFile_ != from) return;
  loadedFile_ = to;
  shownIndex_ = fileList->ItemIndex();
  const QString name = QString::fromStdString(ExtractFileName(loadedFile_));
  nameValue->setToolTip(name);
  if (nameValue->text().isEmpty()) return;  // a picture that failed shows no properties
  nameValue->setText(name);
  imageArea->setAccessibleDescription(nameValue->text() + ", " + sizeValue->text());
}

void TMainform::OnZoomChanged() {
  pictureView->show();
  fitView->hide();
  imageArea->SetAutoScroll(false);
  const int h = pictureView->GetPicture().Height();
  const int w = pictureView->GetPicture().Width();
  pictureView->SetAlign(TAlign::None);
  pictureView->setGeometry(0, 0, w, h);
  pictureView->SetStretch(true);
  const int index = zoomBox->currentIndex();
  if (index >= 0 && index <= kZoom10) {
    QSize zoomed = ZoomedSize(index, w, h);
    // On high-density screens 100 % is one picture pixel per device pixel.
    const qreal ratio = devicePixelRatioF();
    if (ratio != 1) zoomed = (QSizeF(zoomed) / ratio).toSize();
    pictureView->setGeometry(0, 0, zoomed.width(), zoomed.height());
  } else if (index == kZoomToFit) {
    if (imageArea->height() - 4 < pictureView->height() ||
        imageArea->width() - 4 < pictureView->width()) {
      pictureView->hide();
      fitView->show();
      fitView->SetPicture(Picture());
      fitView->SetPicture(pictureView->GetPicture());
      if (offeredFit_.generation == pictureView->GetPicture().Generation())
        fitView->OfferFitted(offeredFit_.image, offeredFit_.target);
    }
  } else if (index == kZoomStretch) {
    pictureView->SetAlign(TAlign::Client);
  }
  if (index <= kZoom10) imageArea->SetAutoScroll(true);
  imageArea->UpdateClientSize();
  if (h == 0) fullScreenButton->setEnabled(false);
  progressBar->SetPosition(0);
  progressBar->hide();
}

void TMainform::OnPictureProgress() {
  // Each screen update of the bar waits for the display server (a round trip): at one per
  // percent that cost more than decoding a small photo. The position follows every event, the
  // screen at most once a frame, so what the eye sees is the same.
  const bool frameDue = !progressFrame_.isValid() || progressFrame_.elapsed() >= kProgressFrameMs;
  progressBar->setUpdatesEnabled(frameDue);
  progressBar->SetPosition(progressBar->Position() + 1);
  progressBar->setUpdatesEnabled(true);  // before hiding: a hidden bar's area is repainted
  if (progressBar->Position() == 100) progressBar->hide();
  if (frameDue) {
    progressBar->repaint();
    progressFrame_.start();
  }
}

}  // namespace velk
