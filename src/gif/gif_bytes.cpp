#include "gif/gif_bytes.h"

#include <cstring>

#include "gif/gif_exception.h"

namespace velk {

uint8_t GIFByteReader::Byte() {
  if (position_ >= size_) throw GIFException(gif_messages::kPrematureEnd);
  return data_[position_++];
}

uint16_t GIFByteReader::Word() {
  const uint8_t* bytes = Take(2);
  return uint16_t(bytes[0] | (bytes[1] << 8));
}

const uint8_t* GIFByteReader::Take(size_t count) {
  if (count > Remaining()) throw GIFException(gif_messages::kPrematureEnd);
  const uint8_t* start = data_ + position_;
  position_ += count;
  return start;
}

size_t GIFByteReader::SubBlock(std::vector<uint8_t>& out) {
  const size_t length = Byte();
  const uint8_t* bytes = Take(length);
  out.insert(out.end(), bytes, bytes + length);
  return length;
}

void GIFByteReader::SubBlocks(std::vector<uint8_t>& out) {
  while (SubBlock(out) != 0) {
  }
}

void GIFByteWriter::Bytes(const void* data, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  out_.insert(out_.end(), bytes, bytes + count);
}

void GIFByteWriter::SubBlocks(const uint8_t* data, size_t count) {
  while (count > 0) {
    const size_t length = count < 255 ? count : 255;
    out_.push_back(uint8_t(length));
    Bytes(data, length);
    data += length;
    count -= length;
  }
  out_.push_back(0);
}

}  // namespace velk
