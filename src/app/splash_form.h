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
  TProImage* ProImage1;
  QLabel *Version, *Label3, *Label4, *Label1;
  QLabel *Image1, *Image2;
  QTimer* Timer1;

  void FormCreate();
  // Hides the window and destroys it once the current event has been handled.
  void Timer1Timer();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLabel* MakeLabel(const char* name, const QString& text, int top, int pixelSize, bool bold);
  bool closing_ = false;
};

}  // namespace velk
