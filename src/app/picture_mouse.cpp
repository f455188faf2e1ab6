#include "app/picture_mouse.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

#include "app/main_form.h"
#include "app/scroll_box.h"
#include "app/zoom.h"
#include "image/image_aspect.h"
#include "image/jpeg_image.h"

namespace velk {

namespace {

class PictureMouse : public QObject {
public:
  explicit PictureMouse(TMainform& mainform) : QObject(&mainform), main_(mainform) {
    ScrollBox& box = *main_.imageArea;
    for (QWidget* widget : {box.viewport(), box.Client(), static_cast<QWidget*>(main_.pictureView),
                            static_cast<QWidget*>(main_.fitView)})
      widget->installEventFilter(this);
    for (QScrollBar* bar : {box.horizontalScrollBar(), box.verticalScrollBar()})
      connect(bar, &QScrollBar::rangeChanged, this, [this] { ShowHand(); });
  }

  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Wheel: return Wheel(static_cast<QWheelEvent*>(event));
      case QEvent::MouseButtonPress: return Press(static_cast<QMouseEvent*>(event));
      case QEvent::MouseMove: return Move(static_cast<QMouseEvent*>(event));
      case QEvent::MouseButtonRelease: return Release(static_cast<QMouseEvent*>(event));
      default: return false;
    }
  }

private:
  ScrollBox& Box() const { return *main_.imageArea; }
  bool Pannable() const {
    return Box().horizontalScrollBar()->maximum() > 0 || Box().verticalScrollBar()->maximum() > 0;
  }
  QPoint Scroll() const {
    return {Box().horizontalScrollBar()->value(), Box().verticalScrollBar()->value()};
  }
  void ScrollTo(QPoint at) {
    Box().horizontalScrollBar()->setValue(at.x());
    Box().verticalScrollBar()->setValue(at.y());
  }

  void ShowHand() {
    if (!dragging_) Box().viewport()->setCursor(Pannable() ? Qt::OpenHandCursor : Qt::ArrowCursor);
    main_.pictureView->setCursor(Box().viewport()->cursor());
  }

  bool Wheel(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) return false;  // the scroll box scrolls
    // A notch is 120; touchpads send parts of one.
    wheel_ += event->angleDelta().y();
    const int steps = wheel_ / 120;
    wheel_ -= steps * 120;
    if (steps != 0) ZoomAbout(Box().viewport()->mapFromGlobal(event->globalPosition().toPoint()),
                              -steps);
    event->accept();
    return true;
  }

  // Zooms by step entries keeping the picture's point under at (viewport coordinates).
  void ZoomAbout(QPoint at, int step) {
    const int index = SteppedZoom(main_.zoomBox->currentIndex(), step);
    if (index == main_.zoomBox->currentIndex()) return;
    const QRect before = main_.pictureView->geometry();
    const QPointF onPicture = QPointF(at + Scroll() - before.topLeft());
    const double fx = before.width() > 0 ? onPicture.x() / before.width() : 0;
    const double fy = before.height() > 0 ? onPicture.y() / before.height() : 0;
    ChooseZoomEntry(*main_.zoomBox, index);
    const QRect after = main_.pictureView->geometry();
    ScrollTo(after.topLeft() + QPoint(int(std::lround(fx * after.width())),
                                      int(std::lround(fy * after.height()))) - at);
  }

  bool Press(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !Pannable()) return false;
    dragging_ = true;
    grabAt_ = event->globalPosition().toPoint();
    grabScroll_ = Scroll();
    Box().viewport()->setCursor(Qt::ClosedHandCursor);
    main_.pictureView->setCursor(Qt::ClosedHandCursor);
    return true;
  }
  bool Move(QMouseEvent* event) {
    if (!dragging_) return false;
    ScrollTo(grabScroll_ - (event->globalPosition().toPoint() - grabAt_));
    return true;
  }
  bool Release(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return false;
    dragging_ = false;
    ShowHand();
    return true;
  }

  TMainform& main_;
  int wheel_ = 0;
  bool dragging_ = false;
  QPoint grabAt_;
  QPoint grabScroll_;
};

}  // namespace

void InstallPictureMouse(TMainform& mainform) { new PictureMouse(mainform); }

}  // namespace velk
