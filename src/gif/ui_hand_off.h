#pragma once
// Work that painter threads hand to the user-interface thread, like the framework's Synchronize:
// the painter queues it and waits; the UI thread runs it from its event loop, or from WaitAndRun
// whenever it waits for a painter itself (else the two threads would wait on each other).
// Only these hand-offs run in such waits, not the other events of the loop.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace velk {

class UiHandOff {
public:
  static UiHandOff& Instance();
  // The thread of the application object; false without one.
  static bool OnUiThread();

  // Runs work on the UI thread and returns once it has run (at once on the UI thread itself).
  // False when the work threw; the exception goes to the event loop's error handling when the
  // loop ran it.
  bool Run(const std::function<void()>& work);

  // UI thread: runs everything queued. Exceptions of the work are passed on when passErrorsOn,
  // else dropped (the painter that handed it over learns of the failure either way).
  void RunPending(bool passErrorsOn);
  // UI thread: waits until work arrives, Wake() was called since the ticket was taken, or the
  // timeout passes; then runs what is queued.
  uint64_t WakeTicket() const;
  void WaitAndRun(uint64_t ticket, std::chrono::milliseconds timeout);
  // Any thread: ends the UI thread's current WaitAndRun (a painter finished or progressed).
  void Wake();
  size_t PendingCount() const;

private:
  struct Job {
    const std::function<void()>* work;
    bool done = false;
    bool failed = false;
  };
  mutable std::mutex lock_;
  std::condition_variable arrived_;  // the UI thread waits for work or a wake
  std::condition_variable done_;     // painters wait for their work to have run
  std::deque<Job*> queue_;
  uint64_t wakes_ = 0;
  bool posted_ = false;  // a RunPending call is on its way through the event loop
};

}  // namespace velk
