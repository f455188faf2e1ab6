#pragma once
// The status-line progress bar, painted on its parent: blocks every 10 pixels shading from
// Color to ColorEnd, framed in two colours. Advancing only paints the new blocks, so a decode
// reporting every percent does not make it flicker.
#include <QImage>

#include "platform/color.h"
#include "platform/graphic_control.h"

namespace velk {

class TGProgress : public GraphicControl {
  Q_OBJECT
public:
  explicit TGProgress(QWidget* parent = nullptr);

  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Position() const { return position_; }
  void SetPosition(int value);
  int Step() const { return step_; }  // stored only
  void SetStep(int value);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TColor ColorEnd() const { return colorEnd_; }
  void SetColorEnd(TColor color);
  TColor BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(TColor color);
  TColor FrameColor1() const { return frameColor1_; }
  void SetFrameColor1(TColor color);
  TColor FrameColor2() const { return frameColor2_; }
  void SetFrameColor2(TColor color);
  bool GradientBar() const { return gradientBar_; }
  void SetGradientBar(bool on);
  bool Solid() const { return solid_; }
  void SetSolid(bool on);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);

  // Index of the last block shown at the current position (blocks 0..L); -1 when none.
  int LastBlock() const;
  // COLORREF of block i of a bar this wide (block Width/10 is ColorEnd itself).
  TColor BlockColor(int i) const;
  // What the bar has drawn so far, as it stands on screen.
  const QImage& Surface() const { return surface_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void Invalidate();
  void RepaintNow();
  void FullPaint();
  void DrawBlocks(int last);
  void DrawBlock(int i);

  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
  TColor color_ = clHighlight;
  TColor colorEnd_ = clBtnFace;
  TColor backgroundColor_ = clBtnFace;
  TColor frameColor1_ = clBtnShadow;
  TColor frameColor2_ = clBtnHighlight;
  bool gradientBar_ = true;
  bool solid_ = false;
  bool transparent_ = false;

  int previousPosition_ = 0;
  bool addBlocks_ = false;
  bool flushing_ = false;       // our own immediate repaint is being shown
  bool invalidPending_ = false;  // a full repaint is owed through the event loop
  QImage surface_;
};

// Windows' MulDiv: a * b / c rounded to the nearest integer, halves away from zero
// (-1 when c is 0).
int MulDiv(int a, int b, int c);

}  // namespace velk
