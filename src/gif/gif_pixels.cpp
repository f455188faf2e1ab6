#include "gif/gif_pixels.h"

#include <cstring>
#include <new>

namespace velk {

GIFPixels::GIFPixels(size_t size, size_t slack) : size_(size) {
  if (size + slack == 0) return;
  if (size > SIZE_MAX - slack) throw std::bad_alloc();
  bytes_.reset(static_cast<uint8_t*>(std::calloc(size + slack, 1)));
  if (!bytes_) throw std::bad_alloc();
}

GIFPixels::GIFPixels(const GIFPixels& other) : GIFPixels(other.size_) {
  if (size_) std::memcpy(data(), other.data(), size_);
}

GIFPixels& GIFPixels::operator=(const GIFPixels& other) {
  if (this != &other) *this = GIFPixels(other);
  return *this;
}

}  // namespace velk
