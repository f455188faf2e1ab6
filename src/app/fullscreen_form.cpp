#include "app/fullscreen_form.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "platform/application.h"

namespace velk {

namespace {
constexpr int kCaptionHeight = 13;
}

TFullscreenform::TFullscreenform(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("Fullscreenform");
  setWindowTitle(Application::Title());
  setAutoFillBackground(true);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);

  pictureView = new TImageAspect(this);
  pictureView->setObjectName("ImageAspect1");
  connect(pictureView, &GraphicControl::OnClick, this, [this] { Leave(); });

  captionLabel = new QLabel(this);
  captionLabel->setObjectName("Label1");
  captionLabel->setAlignment(Qt::AlignCenter);
  captionLabel->setAttribute(Qt::WA_TranslucentBackground);
  captionLabel->installEventFilter(this);

  // The screen size as it is when the program starts.
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  setGeometry(0, 0, screen.width(), screen.height());
}

void TFullscreenform::LayoutChildren() {
  const int captionHeight = captionLabel->isVisibleTo(this) ? kCaptionHeight : 0;
  captionLabel->setGeometry(0, height() - kCaptionHeight, width(), kCaptionHeight);
  // The view fills the area above the caption line; a picture assigned with AutoSize on is
  // sized back to it at once.
  pictureView->SetBounds(0, 0, width(), height() - captionHeight);
}

void TFullscreenform::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutChildren();
}

void TFullscreenform::ShowPicture(const Picture& picture, const QString& caption) {
  captionLabel->setVisible(true);
  captionLabel->setText(caption);
  // What a task switcher and a screen reader say: the file, then the program.
  const QString file = QFileInfo(caption).fileName();
  setWindowTitle(file.isEmpty() ? Application::Title() : file + " - " + Application::Title());
  show();
  raise();
  LayoutChildren();
  pictureView->SetPicture(picture);
  LayoutChildren();
}

void TFullscreenform::Leave() {
  if (OnStopSlideShow) OnStopSlideShow();
  captionLabel->setVisible(false);
  close();
}

void TFullscreenform::SetColors(const QColor& background, const QColor& text) {
  QPalette p = palette();
  p.setColor(QPalette::Window, background);
  setPalette(p);
  QPalette labelPalette = captionLabel->palette();
  labelPalette.setColor(QPalette::WindowText, text);
  captionLabel->setPalette(labelPalette);
}

void TFullscreenform::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) Leave();
  else QWidget::keyPressEvent(event);
}

bool TFullscreenform::eventFilter(QObject* watched, QEvent* event) {
  if (watched == captionLabel && event->type() == QEvent::MouseButtonRelease) Leave();
  return QWidget::eventFilter(watched, event);
}

}  // namespace velk
