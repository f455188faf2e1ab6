#pragma once
// A small always-on-top window showing the colour under the mouse pointer, enlarged, with its
// value ready to copy. The pointer over the window itself leaves the last colour alone, so the
// user can reach the Copy button.
#include <QColor>
#include <QImage>
#include <QWidget>

#include "settings_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace colourpicker {

class PickerWindow : public QWidget {
public:
  explicit PickerWindow(QString settingsFile);

  void ReloadSettings();
  // Reads the screen around the pointer; public so it can be driven without the timer.
  void Sample();
  QColor Colour() const { return colour_; }
  QString ValueText() const;
  void Copy();

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  void Show(const QImage& area, const QPoint& at);

  QString settingsFile_;
  PickerSettings settings_;
  QColor colour_ = Qt::black;
  QTimer* timer_ = nullptr;
  QLabel* magnifier_ = nullptr;
  QLabel* swatch_ = nullptr;
  QLineEdit* value_ = nullptr;
  QLabel* position_ = nullptr;
  QCheckBox* hold_ = nullptr;
};

}  // namespace colourpicker
