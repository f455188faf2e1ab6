#pragma once
// Turns POSIX signals into calls on the event loop: the handler only writes a byte to a pipe,
// and a socket notifier reads it where every call is safe. The signals' default actions come
// back when the notifier goes.
#include <QObject>
#include <functional>
#include <vector>

class QSocketNotifier;

namespace velk {

class SignalNotifier : public QObject {
public:
  // Without a pipe the signals keep their default actions.
  SignalNotifier(std::vector<int> caught, std::function<void()> arrived,
                 QObject* parent = nullptr);
  ~SignalNotifier() override;

private:
  void Drain();

  std::vector<int> signals_;
  std::function<void()> arrived_;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace velk
