#pragma once
// Lets the event loop run while a picture loads without letting anything act on the half-made
// state or re-enter the handler that loads it: input to the passing widgets goes through; all
// other input (the file list, buttons, shortcuts, other windows, closing) is held and handed
// back in its order afterwards. Paints, timers, mouse movement and the program's own calls
// pass. Held input that moves through the browsing list (a navigation key, a click on an
// entry) tells the load to give way.
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QEvent;
class QWidget;

namespace velk {

class InputGate : public QObject {
public:
  InputGate(std::vector<QWidget*> passing, QWidget* browsing)
      : passing_(std::move(passing)), browsing_(browsing) {}
  ~InputGate() override;

  // Runs the event loop's pending events with the gate closed.
  void ProcessEvents();
  // Posts the held input again, oldest first.
  void Release();
  // A held event moves through the browsing widget.
  bool BrowsingHeld() const { return browsingHeld_; }

protected:
  bool eventFilter(QObject* receiver, QEvent* event) override;

private:
  static bool Within(QObject* receiver, const QWidget* area);
  bool Browses(QObject* receiver, const QEvent* event) const;

  struct Held {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
  };
  std::vector<QWidget*> passing_;
  QWidget* browsing_;
  std::vector<Held> held_;
  bool browsingHeld_ = false;
};

}  // namespace velk
