#include "app/signal_notifier.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <utility>

namespace velk {
namespace {

// The write end of the pipe each signal goes to, for the handler.
constexpr int kMaxSignal = 65;
volatile sig_atomic_t signalPipes[kMaxSignal] = {};

void OnSignal(int signal) {
  const int saved = errno;
  const char byte = 1;
  if (signal > 0 && signal < kMaxSignal && signalPipes[signal] > 0)
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipes[signal], &byte, 1);
  errno = saved;
}

void SetHandler(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

SignalNotifier::SignalNotifier(std::vector<int> caught, std::function<void()> arrived,
                               QObject* parent)
    : QObject(parent), signals_(std::move(caught)), arrived_(std::move(arrived)) {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalNotifier::Drain);
  for (const int signal : signals_) {
    if (signal <= 0 || signal >= kMaxSignal) continue;
    signalPipes[signal] = pipe_[1];
    SetHandler(signal, OnSignal);
  }
}

SignalNotifier::~SignalNotifier() {
  if (pipe_[0] < 0) return;
  for (const int signal : signals_) {
    if (signal <= 0 || signal >= kMaxSignal) continue;
    SetHandler(signal, SIG_DFL);
    signalPipes[signal] = 0;
  }
  delete notifier_;  // before its descriptor goes
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void SignalNotifier::Drain() {
  char bytes[64];
  while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
  }
  if (arrived_) arrived_();
}

}  // namespace velk
