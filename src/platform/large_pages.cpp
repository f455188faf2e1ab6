#include "platform/large_pages.h"

#include <atomic>

namespace velk {

bool LargeBlocksTurnedOverLately(std::chrono::steady_clock::time_point now) {
  using Duration = std::chrono::steady_clock::duration;
  constexpr Duration::rep kNever = Duration::min().count();
  static std::atomic<Duration::rep> last{kNever};
  const Duration::rep at = now.time_since_epoch().count();
  const Duration::rep before = last.exchange(at, std::memory_order_relaxed);
  return before != kNever && Duration(at - before) < std::chrono::seconds(1);
}

}  // namespace velk
