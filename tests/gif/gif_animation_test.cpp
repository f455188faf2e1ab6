// Frame delays and the order of frames over the passes of an animation.
#include <gtest/gtest.h>

#include "gif/gif_animation.h"
#include "gif/gif_image_data.h"

namespace velk {
namespace {

TGIFSubImage FrameWithDelay(int delay) {
  TGIFSubImage frame;
  if (delay >= 0) {
    auto control = std::make_unique<TGIFGraphicControlExtension>();
    control->delay = uint16_t(delay);
    frame.AddExtension(std::move(control));
  }
  return frame;
}

TEST(GifAnimation, DelaysInHundredthsOfASecond) {
  EXPECT_EQ(GIFFrameDelayUnits(FrameWithDelay(-1), true), 10);
  EXPECT_EQ(GIFFrameDelayUnits(FrameWithDelay(0), true), 10);
  EXPECT_EQ(GIFFrameDelayUnits(FrameWithDelay(1), true), 3);
  EXPECT_EQ(GIFFrameDelayUnits(FrameWithDelay(3), true), 3);
  EXPECT_EQ(GIFFrameDelayUnits(FrameWithDelay(4), true), 4);
  EXPECT_EQ(GIFFrameDelayUnits(FrameWithDelay(2000), true), 2000);
  EXPECT_EQ(GIFFrameDelayUnits(FrameWithDelay(2000), false), 1000);
}

TEST(GifAnimation, WaitsTwelveMillisecondsAUnitLessHalfTheLateness) {
  EXPECT_EQ(GIFFrameWaitMs(3, 0, 100), 36);
  EXPECT_EQ(GIFFrameWaitMs(10, 0, 100), 120);
  EXPECT_EQ(GIFFrameWaitMs(10, 20, 100), 110);
  EXPECT_EQ(GIFFrameWaitMs(10, 0, 200), 60);
  EXPECT_EQ(GIFFrameWaitMs(10, 0, 50), 240);
  EXPECT_EQ(GIFFrameWaitMs(3, 500, 100), 0);
}

// Passes are counted by the painter tests; here the frames a later pass starts from.
TEST(GifAnimation, LaterPassesStartAtTheFrameWithTheFirstLoopExtension) {
  std::vector<GIFFrameTiming> frames(4);
  frames[1] = GIFFrameTiming{10, true, 2};
  frames[3] = GIFFrameTiming{10, true, 9};  // a second loop extension is ignored
  GIFFrameSchedule schedule(frames, true, true);
  std::vector<int> order, passEnds;
  for (;;) {
    const int frame = schedule.NextFrame();
    if (schedule.PassEnded()) passEnds.push_back(int(order.size()));
    if (frame < 0) break;
    order.push_back(frame);
  }
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(passEnds, (std::vector<int>{4, 7}));
  EXPECT_EQ(schedule.NextFrame(), -1);
}

}  // namespace
}  // namespace velk
