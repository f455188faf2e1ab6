#pragma once
// The "To fit" view: shows its picture as large as the control allows without distorting it,
// filling one direction and centred in the other, with the parent showing in the margins.
#include <QImage>

#include "platform/graphic_control.h"
#include "platform/picture.h"

namespace velk {

class TImageAspect : public GraphicControl {
  Q_OBJECT
public:
  explicit TImageAspect(QWidget* parent = nullptr);

  const Picture& GetPicture() const { return picture_; }
  // Copies p; with AutoSize on and a graphic, the bounds become the picture's size.
  void SetPicture(const Picture& p);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);

  // The rectangle the picture is drawn into (empty when there is nothing to draw).
  QRect PictureRect() const;
  // Takes a fitted copy of the picture made elsewhere (a worker thread, with FitImage), used
  // when it was made for the rectangle and pixel ratio the picture is drawn into.
  void OfferFitted(const QImage& fitted, const QRect& target);
  // Where a picture of that size is drawn in a control of that size (empty for none).
  static QRect FitTarget(QSize control, QSize picture);
  // A still picture scaled smoothly into the target's size, as the control draws it.
  static QImage FitImage(const Graphic& still, QSize target, qreal pixelRatio);

  // Lets go of a still picture while what is on screen stays: paints show the fitted image
  // already made until a picture is set again. The next photo then loads without the last
  // one's full-size pixels still held here.
  void ReleasePictureKeepingView();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  bool HasDrawableGraphic() const;
  void PaintNow();
  // A still bitmap scaled once into the target's size, made again only when the picture or
  // the target changes: a repaint costs a copy of the shown pixels, not a pass over the photo.
  const QImage& Fitted(const Graphic& still, const QRect& target);

  Picture picture_;
  bool autoSize_ = true;
  QImage fitted_;
  QRect fittedTarget_;
  uint64_t fittedGeneration_ = 0;
  bool keptView_ = false;  // the picture was released; fitted_ is what stays on screen
};

}  // namespace velk
