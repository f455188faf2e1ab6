#pragma once
// A painter plays one animation: it shows the frames in their schedule's order and waits each
// frame's delay between them. An asynchronous painter is a thread of normal priority that does no
// drawing itself: every step is handed to the user-interface thread, and the painter waits for it.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "gif/gif_animation.h"

namespace velk {

class TGIFPainter : public std::enable_shared_from_this<TGIFPainter> {
public:
  // What the painter does, all of it run on the user-interface thread.
  struct Steps {
    std::function<void()> start;
    std::function<void(int frame)> paint;
    std::function<void()> loop;
    std::function<void()> end;
  };

  TGIFPainter(GIFFrameSchedule schedule, int speed, Steps steps);
  ~TGIFPainter();
  TGIFPainter(const TGIFPainter&) = delete;
  TGIFPainter& operator=(const TGIFPainter&) = delete;

  // Asynchronous painting: starts the thread.
  void StartThread();
  // Synchronous painting: plays the whole animation on the calling (user-interface) thread,
  // sleeping between frames in slices of at most 100 ms while processing events.
  void RunHere();

  // User-interface thread: no further step runs, and a delay being waited ends at once.
  void Stop();
  // User-interface thread: waits until the painter has ended, running its hand-offs meanwhile.
  // A painter that cannot be waited for here (it is running a step or plays on this very
  // thread) is left to end by itself.
  void WaitForEnd();
  // User-interface thread: waits, running hand-offs, until the first frame is painted or the
  // painter has ended.
  void WaitForFirstPaint();

  bool Finished() const { return finished_; }
  bool Painted() const { return painted_; }

private:
  void Play(bool async);
  // Runs a step on the user-interface thread; false when stopped (the step then does not run)
  // or when it failed.
  bool Step(const std::function<void()>& step);
  // Waits ms; false when stopped meanwhile.
  bool Delay(int64_t ms, bool async);

  GIFFrameSchedule schedule_;
  const int speed_;
  const Steps steps_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> painted_{false};
  std::atomic<bool> inStep_{false};
  std::atomic<bool> inline_{false};
  std::mutex delayLock_;
  std::condition_variable delayEnd_;
};

}  // namespace velk
