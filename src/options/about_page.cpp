#include "options/about_page.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextBrowser>

namespace velk {

TURLLabel::TURLLabel(QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  QPalette p = palette();
  // The theme's link colour, made for its background (a fixed blue is unreadable on dark).
  p.setColor(QPalette::WindowText, p.color(QPalette::Link));
  setPalette(p);
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      url_.isValid())
    QDesktopServices::openUrl(url_);
}

QPixmap DrawViewerIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(90, 60, 30), 2));
  p.setBrush(QColor(120, 190, 240));  // sky
  p.drawRect(QRectF(2, 4, 28, 24));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 210, 40));  // sun
  p.drawEllipse(QPointF(22, 11), 3.5, 3.5);
  QPainterPath hills;
  hills.moveTo(3, 27);
  hills.lineTo(11, 14);
  hills.lineTo(17, 21);
  hills.lineTo(21, 17);
  hills.lineTo(29, 27);
  hills.closeSubpath();
  p.setBrush(QColor(40, 140, 60));
  p.drawPath(hills);
  return pixmap;
}

QPixmap DrawSmileyIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(QColor(255, 220, 0));
  p.drawEllipse(QRectF(2, 2, 28, 28));
  p.setBrush(Qt::black);
  p.drawEllipse(QPointF(11.5, 12.5), 2, 2.5);
  p.drawEllipse(QPointF(20.5, 12.5), 2, 2.5);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(9, 10, 14, 12), -20 * 16, -140 * 16);
  return pixmap;
}

namespace {

const char* const kCredits =
    "<p><b>Velk's JPEG Viewer</b> shows JPEG, Windows bitmap, GIF and TIFF pictures, "
    "converts between them and plays slide shows.</p>"
    "<p><b>Credits</b><br>JPEG decoding and encoding use the Independent JPEG Group's "
    "library through libjpeg-turbo. The user interface is built on Qt. The GIF and TIFF "
    "readers and writers are the program's own.</p>"
    "<p><b>Limited warranty</b><br>This program is provided \"as is\", without warranty of "
    "any kind, express or implied, including but not limited to the warranties of "
    "merchantability and fitness for a particular purpose. In no event shall the authors be "
    "liable for any claim, damages or other liability arising from the use of the "
    "program.</p>"
    "<p><b>Licence</b><br>You may use, copy and give away this program free of charge, "
    "provided the program and this notice are kept together and unchanged. You may not sell "
    "it or include it in a product that is sold without the authors' written "
    "permission.</p>";

QLabel* CenteredLabel(QWidget* panel, const char* name, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, panel);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(geometry);
  return label;
}

QLabel* IconLabel(QWidget* panel, const char* name, const QPixmap& pixmap, QPoint at) {
  auto* label = new QLabel(panel);
  label->setObjectName(name);
  label->setPixmap(pixmap);
  label->setGeometry(QRect(at, QSize(32, 32)));
  return label;
}

TURLLabel* LinkLabel(QWidget* panel, const char* name, const QString& caption,
                     const QUrl& url, int top) {
  auto* label = new TURLLabel(panel);
  label->setObjectName(name);
  label->setText(caption);
  label->SetURL(url);
  label->setGeometry(8, top, 309, 16);
  return label;
}

}  // namespace

void ShowKeysOnAboutPage(QTextBrowser* memo, const QString& keysHtml) {
  // After the opening paragraph, before the credits and licence.
  QString html = kCredits;
  html.insert(html.indexOf("</p>") + 4, keysHtml);
  memo->setHtml(html);
}

AboutPage BuildAboutPage(QWidget* panel) {
  AboutPage page;
  page.ProductName =
      CenteredLabel(panel, "ProductName", "Velk's JPEG Viewer", QRect(48, 8, 229, 24));
  QFont big = page.ProductName->font();
  big.setPointSize(big.pointSize() + 5);
  big.setBold(true);
  page.ProductName->setFont(big);
  page.Version = CenteredLabel(panel, "Version", "Version 0.91", QRect(48, 32, 229, 16));
  page.viewerIcon = IconLabel(panel, "Image1", DrawViewerIcon(), QPoint(10, 10));
  page.smileyIcon = IconLabel(panel, "Image2", DrawSmileyIcon(), QPoint(283, 10));

  page.creditsText = new QTextBrowser(panel);
  page.creditsText->setObjectName("Memo1");
  page.creditsText->setReadOnly(true);
  page.creditsText->setOpenLinks(false);
  page.creditsText->setHtml(kCredits);
  page.creditsText->setGeometry(8, 56, 309, 152);

  page.homePageLink = LinkLabel(panel, "URLLabel1", QString("Home Page: ") + kHomePageAddress,
                             QUrl(kHomePageAddress), 214);
  page.emailLink = LinkLabel(panel, "URLLabel2", QString("Email: ") + kEmailAddress,
                             QUrl(QString("mailto:") + kEmailAddress), 234);
  return page;
}

}  // namespace velk
