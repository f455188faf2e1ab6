#pragma once
// The borderless, always-on-top window that shows one picture fitted to the whole screen,
// with an optional caption line; a click (or Escape) closes it.
#include <QLabel>
#include <QWidget>
#include <functional>

#include "image/image_aspect.h"

namespace velk {

class TFullscreenform : public QWidget {
  Q_OBJECT
public:
  explicit TFullscreenform(QWidget* parent = nullptr);

  TImageAspect* pictureView;
  QLabel* captionLabel;

  // Shows a copy of picture under the caption, as "Full screen" and the slide show do.
  void ShowPicture(const Picture& picture, const QString& caption);
  // Closes the view (a click, Escape or F11), stopping a running slide show.
  void Leave();

  // Called when the window closes by a click, to stop a running slide show.
  std::function<void()> OnStopSlideShow;

  // The window's background colour and the caption's text colour (set by the skins page).
  void SetColors(const QColor& background, const QColor& text);

protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void LayoutChildren();
};

}  // namespace velk
