#pragma once
// A graphic that a Picture can hold: a bitmap, a GIF, ...
#include <functional>
#include <memory>

#include "platform/bitmap.h"

class QPainter;
class QRect;

namespace velk {

class Graphic {
public:
  virtual ~Graphic() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
  // Draws the graphic stretched into target.
  virtual void Draw(QPainter& painter, const QRect& target) const = 0;
  virtual std::unique_ptr<Graphic> Clone() const = 0;
  // The graphic as a device-independent bitmap (its first frame for animations).
  virtual Bitmap ToBitmap() const = 0;

  // Raised by the graphic when its look changes on its own (an animation frame).
  std::function<void()> OnChange;

protected:
  Graphic() = default;
  Graphic(const Graphic&) {}  // a copy starts without its owner's change handler
  Graphic& operator=(const Graphic&) { return *this; }
  void Changed() const {
    if (OnChange) OnChange();
  }
};

}  // namespace velk
