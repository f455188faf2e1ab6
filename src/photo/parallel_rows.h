#pragma once
// Splits the rows of a large picture into bands worked on by every core at once (the caller's
// thread takes the first band); small pictures stay on the caller's thread.
#include <algorithm>
#include <thread>
#include <vector>

namespace velk {

template <typename BandWork>  // void(int firstRow, int endRow)
void ForRowBands(int height, size_t pixels, BandWork work) {
  constexpr size_t kWorthSplitting = 1'000'000;
  const int workers = std::clamp(int(std::thread::hardware_concurrency()), 1, 8);
  if (workers == 1 || pixels < kWorthSplitting) return work(0, height);
  const int band = (height + workers - 1) / workers;
  std::vector<std::thread> threads;
  for (int i = 1; i < workers; ++i)
    threads.emplace_back(work, std::min(height, i * band), std::min(height, (i + 1) * band));
  work(0, std::min(height, band));
  for (std::thread& thread : threads) thread.join();
}

}  // namespace velk
