#pragma once
// The application's hint: the hint of the control under the mouse, reported as the mouse
// moves from control to control, so a status line can show it.
#include <QObject>
#include <QString>

class QWidget;

namespace velk {

// A control's hint. "Short|Long" hints show the short part as the tool tip and the long part in
// the status line; a hint without "|" is both.
void SetHint(QWidget* widget, const QString& hint);
// The hint set with SetHint, else the widget's tool tip.
QString HintOf(const QWidget* widget);
// The hint of the widget or, when it has none, of the nearest parent with one.
QString InheritedHint(const QWidget* widget);
QString GetShortHint(const QString& hint);
QString GetLongHint(const QString& hint);

class HintTracker : public QObject {
  Q_OBJECT
public:
  // Watches the whole application from construction on.
  explicit HintTracker(QObject* parent = nullptr);
  ~HintTracker() override;

  // The long hint of the control under the mouse ("" outside the program's windows).
  const QString& Hint() const { return hint_; }

signals:
  // The hint changed.
  void OnHint(const QString& hint);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Report(const QString& hint);

  QString hint_;
};

}  // namespace velk
