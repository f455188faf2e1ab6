#include "gif/gif_painter.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "gif/ui_hand_off.h"

namespace velk {

namespace {
using Clock = std::chrono::steady_clock;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
      .count();
}
}  // namespace

TGIFPainter::TGIFPainter(GIFFrameSchedule schedule, int speed, Steps steps)
    : schedule_(std::move(schedule)), speed_(speed), steps_(std::move(steps)) {}

TGIFPainter::~TGIFPainter() {
  if (!thread_.joinable()) return;
  // The thread holds the last reference when it was left to end by itself.
  if (thread_.get_id() == std::this_thread::get_id())
    thread_.detach();
  else
    thread_.join();
}

void TGIFPainter::StartThread() {
  // std::thread runs at the normal priority the settings ask for.
  thread_ = std::thread([self = shared_from_this()] { self->Play(true); });
}

void TGIFPainter::RunHere() {
  inline_ = true;
  Play(false);
  inline_ = false;
}

void TGIFPainter::Stop() {
  {
    std::lock_guard<std::mutex> guard(delayLock_);
    stop_ = true;
  }
  delayEnd_.notify_all();
}

void TGIFPainter::WaitForEnd() {
  if (inStep_ || inline_ || !thread_.joinable()) return;
  UiHandOff& handOff = UiHandOff::Instance();
  for (;;) {
    const uint64_t ticket = handOff.WakeTicket();
    if (finished_) break;
    handOff.WaitAndRun(ticket, std::chrono::milliseconds(50));
  }
  thread_.join();
}

void TGIFPainter::WaitForFirstPaint() {
  UiHandOff& handOff = UiHandOff::Instance();
  for (;;) {
    const uint64_t ticket = handOff.WakeTicket();
    if (painted_ || finished_) break;
    handOff.WaitAndRun(ticket, std::chrono::milliseconds(50));
  }
}

bool TGIFPainter::Step(const std::function<void()>& step) {
  bool ran = false;
  const bool ok = UiHandOff::Instance().Run([&] {
    if (stop_) return;  // the image may be changing or gone: touch nothing of it
    inStep_ = true;
    struct Leave {
      std::atomic<bool>& flag;
      ~Leave() { flag = false; }
    } leave{inStep_};
    step();
    ran = true;
  });
  return ok && ran && !stop_;
}

bool TGIFPainter::Delay(int64_t ms, bool async) {
  if (async) {
    std::unique_lock<std::mutex> guard(delayLock_);
    delayEnd_.wait_for(guard, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
    return !stop_;
  }
  const int64_t end = NowMs() + ms;
  for (int64_t left = ms; left > 0 && !stop_; left = end - NowMs()) {
    QEventLoop loop;
    QTimer::singleShot(int(std::min<int64_t>(left, 100)), &loop, &QEventLoop::quit);
    loop.exec();
  }
  return !stop_;
}

void TGIFPainter::Play(bool async) {
  if (Step(steps_.start)) {
    int64_t due = NowMs();
    for (;;) {
      const int frame = schedule_.NextFrame();
      if (schedule_.PassEnded() && !Step(steps_.loop)) break;
      if (frame < 0) {
        Step(steps_.end);
        break;
      }
      if (!Step([&] {
            steps_.paint(frame);
            painted_ = true;
          }))
        break;
      UiHandOff::Instance().Wake();
      // The wait makes up for half of the time by which this frame came late.
      const int64_t now = NowMs();
      const int64_t wait =
          GIFFrameWaitMs(schedule_.DelayUnits(frame), std::max<int64_t>(now - due, 0), speed_);
      due = now + wait;
      if (!Delay(wait, async)) break;
    }
  }
  finished_ = true;
  UiHandOff::Instance().Wake();
}

}  // namespace velk
