#include "app/splash_form.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "app/built_in_art.h"
#include "chrome/trans_image.h"
#include "image/pro_image.h"
#include "platform/color.h"
#include "platform/qimage_view.h"
#include "platform/system_colors.h"

namespace velk {

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::SplashScreen) {
  setObjectName("SplashForm");
  setWindowTitle("Splash Form");
  setAttribute(Qt::WA_DeleteOnClose);
  resize(350, 139);
  setFont(QFont("MS Sans Serif"));

  SkinImage = new TTransImage(this);
  SkinImage->GetPicture().SetBitmap(SplashArtwork());
  SkinImage->SetAutoSize(true);
  SkinImage->SetTransColor(clWhite);

  tileImage = new TProImage(this);
  tileImage->setGeometry(0, 0, 350, 139);
  Picture tile;
  tile.SetBitmap(SplashTile());
  tileImage->SetPicture(tile);
  tileImage->SetTiled(true);

  Version = MakeLabel("Version 0.91", 52, 12, true);
  Version->setGeometry(0, 52, 349, 18);
  loadingLabel = MakeLabel("Loading Please Wait....", 76, 11, false);
  resolutionLabel =
      MakeLabel("Best Viewed at 800 x 600 pixels or higher", 100, 11, false);
  QPalette text = resolutionLabel->palette();
  text.setColor(QPalette::WindowText, ToQColor(clWindowText));
  resolutionLabel->setPalette(text);
  titleLabel = MakeLabel("Velk's JPEG Viewer", 20, 19, true);
  titleLabel->setGeometry(1, 20, 347, 26);

  viewerIcon = new QLabel(this);
  viewerIcon->setGeometry(8, 48, 37, 33);
  viewerIcon->setPixmap(QPixmap::fromImage(BitmapAsQImage(ViewerIcon()).copy()));
  smileyIcon = new QLabel(this);
  smileyIcon->setGeometry(308, 48, 37, 33);

  // The background sits below the labels; the clicks of every child close the window.
  tileImage->lower();
  SkinImage->lower();
  for (QWidget* child : {static_cast<QWidget*>(tileImage), static_cast<QWidget*>(Version),
                         static_cast<QWidget*>(viewerIcon), static_cast<QWidget*>(loadingLabel),
                         static_cast<QWidget*>(smileyIcon), static_cast<QWidget*>(resolutionLabel),
                         static_cast<QWidget*>(titleLabel)})
    child->installEventFilter(this);

  // Language files and tests find the controls by these names.
  const std::pair<QObject*, const char*> names[] = {
      {SkinImage, "TransImage1"}, {tileImage, "ProImage1"},   {Version, "Version"},
      {loadingLabel, "Label3"},   {resolutionLabel, "Label4"}, {titleLabel, "Label1"},
      {viewerIcon, "Image1"},     {smileyIcon, "Image2"}};
  for (const auto& [control, name] : names) control->setObjectName(name);

  closeTimer = new QTimer(this);
  closeTimer->setInterval(1500);
  connect(closeTimer, &QTimer::timeout, this, &TSplashForm::CloseSplash);
  closeTimer->start();

  move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
  FormCreate();
}

QLabel* TSplashForm::MakeLabel(const QString& text, int top, int pixelSize, bool bold) {
  auto* label = new QLabel(text, this);
  QFont font("Tahoma");
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  label->setFont(font);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setAttribute(Qt::WA_TranslucentBackground);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
  label->setGeometry(1, top, 347, pixelSize + 6);
  return label;
}

void TSplashForm::FormCreate() {
  SkinImage->ApplyShape();
  smileyIcon->setPixmap(viewerIcon->pixmap());
}

void TSplashForm::CloseSplash() {
  if (closing_) return;  // a later tick or click finds the window gone
  closing_ = true;
  closeTimer->stop();
  hide();
  deleteLater();
}

bool TSplashForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) CloseSplash();
  return QWidget::eventFilter(watched, event);
}

}  // namespace velk
