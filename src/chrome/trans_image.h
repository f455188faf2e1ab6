#pragma once
// Shows a picture and shapes its host window after it: pixels in the transparent colour become
// holes in the window.
#include <QRegion>
#include <optional>
#include <vector>

#include "platform/color.h"
#include "platform/graphic_control.h"
#include "platform/picture.h"

namespace velk {

// The runs of non-transparent pixels of every row, one rectangle each (left, y, right, y + 1),
// rows from the top. Exposed for tests; BuildShapeRegion merges them.
std::vector<QRect> ShapeRuns(const Bitmap& bitmap, TColor transparent);

// Every pixel whose colour differs from the transparent one, in the bitmap's coordinates, made
// from batches of at most 2000 rectangles. nullopt when there is no bitmap.
std::optional<QRegion> BuildShapeRegion(const Bitmap& bitmap, TColor transparent);

class TTransImage : public GraphicControl {
  Q_OBJECT
public:
  explicit TTransImage(QWidget* parent = nullptr);

  Picture& GetPicture() { return picture_; }
  void SetPicture(const Picture& picture) { picture_ = picture; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool AdjustFormSize() const { return adjustFormSize_; }
  void SetAdjustFormSize(bool adjust) { adjustFormSize_ = adjust; }
  TColor TransColor() const { return transColor_; }
  void SetTransColor(TColor color) { transColor_ = color; }

  // Makes the parent window borderless (a top-level one), sizes it to the picture when
  // AdjustFormSize is set, and masks it with the picture's shape (no picture: rectangular).
  void ApplyShape();

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  Picture picture_;
  bool autoSize_ = false;
  bool adjustFormSize_ = true;
  TColor transColor_ = clWhite;
};

}  // namespace velk
