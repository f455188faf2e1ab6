#pragma once
// The framework's scroll box: a borderless area whose children scroll when AutoScroll is on.
// Children are made on Client(); controls aligned to the client fill the visible area.
#include <QScrollArea>

namespace velk {

class ScrollBox : public QScrollArea {
  Q_OBJECT
public:
  explicit ScrollBox(QWidget* parent = nullptr);
  QWidget* Client() const { return client_; }
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool on);
  // Sizes the client to hold every visible child (at least the visible area).
  void UpdateClientSize();

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* client_;
  bool autoScroll_ = false;
};

}  // namespace velk
