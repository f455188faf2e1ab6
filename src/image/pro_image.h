#pragma once
// A picture control that shows its picture at natural size, centred, stretched or repeated as
// tiles, and reports the pointer entering and leaving it.
#include <vector>

#include "platform/graphic_control.h"
#include "platform/picture.h"

namespace velk {

class TProImage : public GraphicControl {
  Q_OBJECT
public:
  explicit TProImage(QWidget* parent = nullptr);

  const Picture& GetPicture() const { return picture_; }
  void SetPicture(const Picture& picture) { picture_ = picture; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Tiled() const { return tiled_; }
  void SetTiled(bool tiled);

  // Where the picture is drawn when not tiled.
  QRect DestRect() const;
  // Where each tile goes when tiled (empty without a drawable graphic).
  std::vector<QPoint> TilePositions() const;

signals:
  void OnMouseEnter(QObject* sender);
  void OnMouseLeave(QObject* sender);

protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

private:
  void PictureChanged();

  Picture picture_;
  bool autoSize_ = false, center_ = false, stretch_ = false, tiled_ = false;
};

}  // namespace velk
