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
  SkinImage->setObjectName("TransImage1");
  SkinImage->GetPicture().SetBitmap(SplashArtwork());
  SkinImage->SetAutoSize(true);
  SkinImage->SetTransColor(clWhite);

  ProImage1 = new TProImage(this);
  ProImage1->setObjectName("ProImage1");
  ProImage1->setGeometry(0, 0, 350, 139);
  Picture tile;
  tile.SetBitmap(SplashTile());
  ProImage1->SetPicture(tile);
  ProImage1->SetTiled(true);

  Version = MakeLabel("Version", "Version 0.91", 52, 12, true);
  Version->setGeometry(0, 52, 349, 18);
  Label3 = MakeLabel("Label3", "Loading Please Wait....", 76, 11, false);
  Label4 = MakeLabel("Label4", "Best Viewed at 800 x 600 pixels or higher", 100, 11, false);
  QPalette text = Label4->palette();
  text.setColor(QPalette::WindowText, ToQColor(clWindowText));
  Label4->setPalette(text);
  Label1 = MakeLabel("Label1", "Velk's JPEG Viewer", 20, 19, true);
  Label1->setGeometry(1, 20, 347, 26);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(8, 48, 37, 33);
  Image1->setPixmap(QPixmap::fromImage(BitmapAsQImage(ViewerIcon()).copy()));
  Image2 = new QLabel(this);
  Image2->setObjectName("Image2");
  Image2->setGeometry(308, 48, 37, 33);

  // The background sits below the labels; the clicks of every child close the window.
  ProImage1->lower();
  SkinImage->lower();
  for (QWidget* child : {static_cast<QWidget*>(ProImage1), static_cast<QWidget*>(Version),
                         static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label3),
                         static_cast<QWidget*>(Image2), static_cast<QWidget*>(Label4),
                         static_cast<QWidget*>(Label1)})
    child->installEventFilter(this);

  Timer1 = new QTimer(this);
  Timer1->setInterval(1500);
  connect(Timer1, &QTimer::timeout, this, &TSplashForm::Timer1Timer);
  Timer1->start();

  move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
  FormCreate();
}

QLabel* TSplashForm::MakeLabel(const char* name, const QString& text, int top, int pixelSize,
                               bool bold) {
  auto* label = new QLabel(text, this);
  label->setObjectName(name);
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
  Image2->setPixmap(Image1->pixmap());
}

void TSplashForm::Timer1Timer() {
  if (closing_) return;  // a later tick or click finds the window gone
  closing_ = true;
  Timer1->stop();
  hide();
  deleteLater();
}

bool TSplashForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) Timer1Timer();
  return QWidget::eventFilter(watched, event);
}

}  // namespace velk
