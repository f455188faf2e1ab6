#pragma once
// The About page of the options dialog: product name, version, two drawn icons, the credits
// and licence text, and the home-page and e-mail links.
#include <QLabel>
#include <QPixmap>
#include <QUrl>

class QTextBrowser;

namespace velk {

// A label that looks like a hyperlink and opens its URL with the desktop's handler.
class TURLLabel : public QLabel {
  Q_OBJECT
public:
  explicit TURLLabel(QWidget* parent = nullptr);
  QUrl URL() const { return url_; }
  void SetURL(const QUrl& url) { url_ = url; }

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  QUrl url_;
};

inline constexpr const char* kHomePageAddress = "https://velkview.example.org/";
inline constexpr const char* kEmailAddress = "velkview@example.org";

struct AboutPage {
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* viewerIcon = nullptr;
  QLabel* smileyIcon = nullptr;
  QTextBrowser* creditsText = nullptr;
  TURLLabel* homePageLink = nullptr;  // home page
  TURLLabel* emailLink = nullptr;  // e-mail
};

// Fills the page panel with its controls, each named as the rest of the program knows it.
AboutPage BuildAboutPage(QWidget* panel);

// The credits text followed by the program's keys (HTML), as the main window lists them.
void ShowKeysOnAboutPage(QTextBrowser* memo, const QString& keysHtml);

// The two 32 x 32 icons: the viewer's picture frame and a smiling face.
QPixmap DrawViewerIcon();
QPixmap DrawSmileyIcon();

}  // namespace velk
