#pragma once
// The timing and order of an animation's frames, apart from any thread or screen.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velk {

class GIFImageData;
class TGIFSubImage;

inline constexpr int kGIFDelayUnitMs = 12;  // the painter's length of a 1/100 s unit

// A frame's delay in 1/100 s: its graphic control extension's, 10 without one or for 0, at least
// 3; above 1000 only when painting asynchronously.
int GIFFrameDelayUnits(const TGIFSubImage& frame, bool async);
// The wait after a frame in ms: (units x 12 - half the time the frame came late) x 100 / speed,
// not below 0.
int64_t GIFFrameWaitMs(int units, int64_t lateMs, int speed);

struct GIFFrameTiming {
  int delayUnits = 10;
  bool hasLoopExtension = false;
  int loopCount = 0;
};

// Which frame a painter shows next. It plays once unless a loop extension is reached: the first
// one gives the pass count (0 repeats forever on an asynchronous painter) and makes its frame
// the one each repeat starts from. Repeats happen only with the animate and loop options on.
class GIFFrameSchedule {
public:
  GIFFrameSchedule(std::vector<GIFFrameTiming> frames, bool repeat, bool async);
  static GIFFrameSchedule For(const GIFImageData& image, bool repeat, bool async);

  // The frame to paint next, or -1 once the animation is over.
  int NextFrame();
  // True when the last NextFrame() call completed a pass (before returning the restart frame
  // or -1).
  bool PassEnded() const { return passEnded_; }
  int DelayUnits(int frame) const { return frames_[size_t(frame)].delayUnits; }
  size_t FrameCount() const { return frames_.size(); }

private:
  std::vector<GIFFrameTiming> frames_;
  bool repeat_;
  bool async_;
  size_t next_ = 0;
  int passes_ = 1;
  size_t restart_ = 0;
  bool loopSeen_ = false;
  bool endless_ = false;
  bool done_ = false;
  bool passEnded_ = false;
};

}  // namespace velk
