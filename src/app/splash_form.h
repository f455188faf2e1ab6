#pragma once
// The small shaped window shown while the program's other windows are made. It closes itself
// at its first timer tick (1.5 s of message processing) or when clicked.
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace velk {

class TProImage;
class TTransImage;

class TSplashForm : public QWidget {
  Q_OBJECT
public:
  explicit TSplashForm(QWidget* parent = nullptr);

  TTransImage* SkinImage;
  TProImage* tileImage;
  QLabel *Version, *loadingLabel, *resolutionLabel, *titleLabel;
  QLabel *viewerIcon, *smileyIcon;
  QTimer* closeTimer;

  void FormCreate();
  // Hides the window and destroys it once the current event has been handled.
  void CloseSplash();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLabel* MakeLabel(const QString& text, int top, int pixelSize, bool bold);
  bool closing_ = false;
};

}  // namespace velk
