#pragma once
// A control painted on its parent that shows one picture, either unscaled at the top left or
// stretched over the whole control.
#include "platform/graphic_control.h"
#include "platform/picture.h"

namespace velk {

class PictureControl : public GraphicControl {
  Q_OBJECT
public:
  explicit PictureControl(QWidget* parent = nullptr);

  Picture& GetPicture() { return picture_; }
  const Picture& GetPicture() const { return picture_; }
  // The control's picture becomes a copy of p.
  void SetPicture(const Picture& p) { picture_ = p; }

  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  Picture picture_;
  bool stretch_ = false;
};

}  // namespace velk
