#pragma once
// A block of bytes that starts zeroed. It comes from calloc, which hands out fresh zero pages
// for large blocks instead of writing them: a picture costs memory and time only for the rows
// a decoder actually fills, so a file that claims a huge size and then ends stays cheap. Large
// blocks take their pages 2 MiB at a time; middle-sized ones reuse a picture's just let go.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/large_pages.h"
#include "platform/recycled_blocks.h"

namespace velk {

class ZeroedBuffer {
public:
  ZeroedBuffer() = default;
  explicit ZeroedBuffer(size_t size) : size_(size), capacity_(size) {
    if (size == 0) return;
    if ((data_ = static_cast<uint8_t*>(TakeRecycledBlock(size, &capacity_)))) {
      std::memset(data_, 0, size);  // resident already: cheaper than fresh pages
      return;
    }
    data_ = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!data_) throw std::bad_alloc();
    AdviseLargePages(data_, size_);
  }
  ZeroedBuffer(const ZeroedBuffer& other) : size_(other.size_), capacity_(other.size_) {
    if (size_ == 0) return;
    data_ = static_cast<uint8_t*>(TakeBlock(size_, &capacity_));
    if (!data_) throw std::bad_alloc();
    AdviseLargePages(data_, size_);
    std::memcpy(data_, other.data_, size_);
  }
  ZeroedBuffer(ZeroedBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  ZeroedBuffer& operator=(ZeroedBuffer other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }
  ~ZeroedBuffer() { RecycleBlock(data_, capacity_); }

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

  friend bool operator==(const ZeroedBuffer& a, const ZeroedBuffer& b) {
    return a.size_ == b.size_ && (a.size_ == 0 || std::memcmp(a.data_, b.data_, a.size_) == 0);
  }

private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;  // of the block, which may be a recycled one a little larger
};

}  // namespace velk
