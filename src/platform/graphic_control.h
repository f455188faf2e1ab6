#pragma once
// The framework's windowless graphic control on Qt: paints on its parent's surface (the parent's
// background shows where it paints nothing), can fill its parent (Align = Client) and reports
// mouse events.
#include <QWidget>

namespace velk {

enum class TAlign { None, Client };

class GraphicControl : public QWidget {
  Q_OBJECT
public:
  explicit GraphicControl(QWidget* parent = nullptr);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  // Moves and sizes the control; an aligned control is then sized back by its alignment.
  void SetBounds(int left, int top, int width, int height);

signals:
  void OnClick(QObject* sender);
  void OnDblClick(QObject* sender);
  void OnMouseDown(QObject* sender, QMouseEvent* event);
  void OnMouseMove(QObject* sender, QMouseEvent* event);
  void OnMouseUp(QObject* sender, QMouseEvent* event);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void RealignToParent();

private:
  TAlign align_ = TAlign::None;
  bool pressed_ = false;
};

}  // namespace velk
