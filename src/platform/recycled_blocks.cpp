#include "platform/recycled_blocks.h"

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/large_pages.h"

namespace velk {

namespace {

// Smaller blocks come from the C library's heap, already resident; from 4 MiB on they take
// 2 MiB pages (see large_pages.h), whose faults are few.
constexpr size_t kSmallest = size_t(256) << 10;
constexpr size_t kLargest = size_t(4) << 20;
constexpr size_t kMostKept = size_t(16) << 20;
constexpr size_t kMostBlocks = 6;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Reused memory would hide a use after free from the sanitizers.
constexpr bool kRecycle = false;
#else
constexpr bool kRecycle = true;
#endif

struct Block {
  void* start;
  size_t capacity;
};

class Recycler {
public:
  void* Take(size_t size, size_t* capacity) {
    std::lock_guard lock(mutex_);
    // The newest fitting block: the most likely to be in the cache still.
    for (size_t i = blocks_.size(); i-- > 0;) {
      const Block block = blocks_[i];
      if (block.capacity < size || block.capacity - size > size / 4) continue;
      blocks_.erase(blocks_.begin() + long(i));
      kept_ -= block.capacity;
      *capacity = block.capacity;
      return block.start;
    }
    return nullptr;
  }

  void Give(void* start, size_t capacity) {
    if (!kRecycle || capacity < kSmallest || capacity >= kLargest) {
      NoteLargeBlockFreed(capacity);
      std::free(start);
      return;
    }
    std::vector<void*> dropped;
    {
      std::lock_guard lock(mutex_);
      blocks_.push_back({start, capacity});
      kept_ += capacity;
      while (kept_ > kMostKept || blocks_.size() > kMostBlocks) {
        dropped.push_back(blocks_.front().start);
        kept_ -= blocks_.front().capacity;
        blocks_.erase(blocks_.begin());
      }
    }
    for (void* block : dropped) std::free(block);
  }

  void Drop() {
    std::vector<Block> blocks;
    {
      std::lock_guard lock(mutex_);
      blocks.swap(blocks_);
      kept_ = 0;
    }
    for (const Block& block : blocks) std::free(block.start);
  }

private:
  std::mutex mutex_;
  std::vector<Block> blocks_;  // oldest first
  size_t kept_ = 0;
};

// Never destroyed: blocks are handed back until the very end of the program.
Recycler& TheRecycler() {
  static Recycler* recycler = new Recycler;
  return *recycler;
}

}  // namespace

void* TakeRecycledBlock(size_t size, size_t* capacity) {
  if (!kRecycle || size < kSmallest || size >= kLargest) return nullptr;
  return TheRecycler().Take(size, capacity);
}

void* TakeBlock(size_t size, size_t* capacity) {
  if (void* kept = TakeRecycledBlock(size, capacity)) return kept;
  *capacity = size;
  return std::malloc(size);
}

void RecycleBlock(void* block, size_t capacity) {
  if (block) TheRecycler().Give(block, capacity);
}

void DropRecycledBlocks() { TheRecycler().Drop(); }

}  // namespace velk
