#include "gif/gif_animation.h"

#include <algorithm>

#include "gif/gif_image_data.h"

namespace velk {

int GIFFrameDelayUnits(const TGIFSubImage& frame, bool async) {
  const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
  int units = control && control->delay > 0 ? control->delay : 10;
  units = std::max(units, 3);
  if (!async) units = std::min(units, 1000);
  return units;
}

int64_t GIFFrameWaitMs(int units, int64_t lateMs, int speed) {
  const int64_t wait = (int64_t(units) * kGIFDelayUnitMs - lateMs / 2) * 100 / std::max(speed, 1);
  return std::max<int64_t>(wait, 0);
}

GIFFrameSchedule::GIFFrameSchedule(std::vector<GIFFrameTiming> frames, bool repeat, bool async)
    : frames_(std::move(frames)), repeat_(repeat), async_(async), done_(frames_.empty()) {}

GIFFrameSchedule GIFFrameSchedule::For(const GIFImageData& image, bool repeat, bool async) {
  std::vector<GIFFrameTiming> frames;
  for (const TGIFSubImage& frame : image.Images()) {
    GIFFrameTiming timing;
    timing.delayUnits = GIFFrameDelayUnits(frame, async);
    if (const TGIFAppExtNSLoop* loop = frame.LoopExtension()) {
      timing.hasLoopExtension = true;
      timing.loopCount = loop->loops;
    }
    frames.push_back(timing);
  }
  return GIFFrameSchedule(std::move(frames), repeat, async);
}

int GIFFrameSchedule::NextFrame() {
  passEnded_ = false;
  if (done_) return -1;
  if (next_ >= frames_.size()) {
    passEnded_ = true;
    if (!endless_) --passes_;
    if (!repeat_ || (!endless_ && passes_ <= 0)) {
      done_ = true;
      return -1;
    }
    next_ = restart_;
  }
  const size_t frame = next_++;
  const GIFFrameTiming& timing = frames_[frame];
  if (!loopSeen_ && timing.hasLoopExtension) {
    loopSeen_ = true;
    restart_ = frame;
    passes_ = timing.loopCount;
    endless_ = passes_ == 0 && async_;
    if (passes_ == 0 && !async_) passes_ = 1;
  }
  return int(frame);
}

}  // namespace velk
