#pragma once
// Tloupe: the magnifier control. On every tick of its timer it copies the screen area around the
// pointer, enlarges it into an off-screen image and paints that image framed by 3-D bevels.
#include <QImage>
#include <QPoint>

#include "image/loupe_geometry.h"
#include "platform/graphic_control.h"

class QTimer;

namespace velk {

class Tloupe : public GraphicControl {
  Q_OBJECT
public:
  explicit Tloupe(QWidget* parent = nullptr);
  ~Tloupe() override;

  // The enlargement; 0 or less becomes 1.0. Shows from the next capture on.
  double ZoomLevel() const { return zoomLevel_; }
  void SetZoomLevel(double zoom);
  // Milliseconds between captures, at least kFastestInterval. Setting it (re)starts the timer
  // whatever Active holds.
  static constexpr int kFastestInterval = 100;
  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  bool Active() const { return active_; }
  void SetActive(bool active);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel bevel);
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel bevel);
  // Rings per bevel, 1 or more.
  int Bevelwidth() const { return bevelWidth_; }
  void SetBevelwidth(int width);
  // The program never hosts the control in a form designer; kept as part of its published face.
  bool DrawDesigning() const { return drawDesigning_; }
  void SetDrawDesigning(bool draw);

  // Whether the capture timer runs; after a speed choice it does even while Active is false.
  bool Capturing() const;
  // One tick: captures around the pointer (QCursor::pos()).
  void Capture();
  // One tick around a point in global screen coordinates.
  void CaptureAround(QPoint pointer);

  SourceSize Source() const { return source_; }
  // The enlarged picture with the bevels of the last paint drawn over it.
  const QImage& OffscreenImage() const { return offscreen_; }
  // The screen area of the last capture, Source() in size.
  const QImage& CaptureImage() const { return capture_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void ResizeSource();
  void GrabScreen(QPoint origin);

  QTimer* timer_;
  QImage offscreen_;
  QImage capture_;
  SourceSize source_;
  double zoomLevel_ = 1.0;
  int interval_ = 100;
  bool active_ = false;
  TPanelBevel bevelInner_ = TPanelBevel::Raised;
  TPanelBevel bevelOuter_ = TPanelBevel::Lowered;
  int bevelWidth_ = 1;
  bool drawDesigning_ = false;
};

}  // namespace velk
