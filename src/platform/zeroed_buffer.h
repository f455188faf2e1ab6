#pragma once
// A block of bytes that starts zeroed. It comes from calloc, which hands out fresh zero pages
// for large blocks instead of writing them: a picture costs memory and time only for the rows
// a decoder actually fills, so a file that claims a huge size and then ends stays cheap. Large
// blocks take their pages 2 MiB at a time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/large_pages.h"

namespace velk {

class ZeroedBuffer {
public:
  ZeroedBuffer() = default;
  explicit ZeroedBuffer(size_t size) : size_(size) {
    if (size == 0) return;
    data_ = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!data_) throw std::bad_alloc();
    AdviseLargePages(data_, size_);
  }
  ZeroedBuffer(const ZeroedBuffer& other) : size_(other.size_) {
    if (size_ == 0) return;
    data_ = static_cast<uint8_t*>(std::malloc(size_));
    if (!data_) throw std::bad_alloc();
    AdviseLargePages(data_, size_);
    std::memcpy(data_, other.data_, size_);
  }
  ZeroedBuffer(ZeroedBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  ZeroedBuffer& operator=(ZeroedBuffer other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }
  ~ZeroedBuffer() { std::free(data_); }

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

  friend bool operator==(const ZeroedBuffer& a, const ZeroedBuffer& b) {
    return a.size_ == b.size_ && (a.size_ == 0 || std::memcmp(a.data_, b.data_, a.size_) == 0);
  }

private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace velk
