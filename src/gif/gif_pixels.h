#pragma once
// A frame's pixels, one colour index a byte. The memory comes zeroed from calloc, so a frame that
// claims a large size but whose data ends early costs only the pages its decoded pixels fill.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace velk {

class GIFPixels {
public:
  GIFPixels() = default;
  // size pixels, all 0, plus slack bytes beyond them that writers may scribble on.
  explicit GIFPixels(size_t size, size_t slack = 0);
  GIFPixels(const GIFPixels& other);
  GIFPixels& operator=(const GIFPixels& other);
  GIFPixels(GIFPixels&&) noexcept = default;
  GIFPixels& operator=(GIFPixels&&) noexcept = default;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  uint8_t* data() { return bytes_.get(); }
  const uint8_t* data() const { return bytes_.get(); }
  uint8_t& operator[](size_t i) { return bytes_.get()[i]; }
  uint8_t operator[](size_t i) const { return bytes_.get()[i]; }

private:
  struct Free {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<uint8_t, Free> bytes_;
  size_t size_ = 0;
};

}  // namespace velk
