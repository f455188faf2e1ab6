#pragma once
// The "To fit" view: shows its picture as large as the control allows without distorting it,
// filling one direction and centred in the other, with the parent showing in the margins.
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

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  bool HasDrawableGraphic() const;
  void PaintNow();

  Picture picture_;
  bool autoSize_ = true;
};

}  // namespace velk
