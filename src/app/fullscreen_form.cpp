#include "app/fullscreen_form.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace velk {

namespace {
constexpr int kCaptionHeight = 13;
}

TFullscreenform::TFullscreenform(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("Fullscreenform");
  setWindowTitle("Fullscreenform");
  setAutoFillBackground(true);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);

  ImageAspect1 = new TImageAspect(this);
  ImageAspect1->setObjectName("ImageAspect1");
  connect(ImageAspect1, &GraphicControl::OnClick, this, [this] { ImageAspect1Click(); });

  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setAttribute(Qt::WA_TranslucentBackground);
  Label1->installEventFilter(this);

  // The screen size as it is when the program starts.
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  setGeometry(0, 0, screen.width(), screen.height());
}

void TFullscreenform::LayoutChildren() {
  const int captionHeight = Label1->isVisibleTo(this) ? kCaptionHeight : 0;
  Label1->setGeometry(0, height() - kCaptionHeight, width(), kCaptionHeight);
  // The view fills the area above the caption line; a picture assigned with AutoSize on is
  // sized back to it at once.
  ImageAspect1->SetBounds(0, 0, width(), height() - captionHeight);
}

void TFullscreenform::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutChildren();
}

void TFullscreenform::ShowPicture(const Picture& picture, const QString& caption) {
  Label1->setVisible(true);
  Label1->setText(caption);
  show();
  raise();
  LayoutChildren();
  ImageAspect1->SetPicture(picture);
  LayoutChildren();
}

void TFullscreenform::ImageAspect1Click() {
  if (OnStopSlideShow) OnStopSlideShow();
  Label1->setVisible(false);
  close();
}

void TFullscreenform::SetColors(const QColor& background, const QColor& text) {
  QPalette p = palette();
  p.setColor(QPalette::Window, background);
  setPalette(p);
  QPalette labelPalette = Label1->palette();
  labelPalette.setColor(QPalette::WindowText, text);
  Label1->setPalette(labelPalette);
}

void TFullscreenform::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) ImageAspect1Click();
  else QWidget::keyPressEvent(event);
}

bool TFullscreenform::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label1 && event->type() == QEvent::MouseButtonRelease) ImageAspect1Click();
  return QWidget::eventFilter(watched, event);
}

}  // namespace velk
