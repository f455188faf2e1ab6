#pragma once
// Byte-level reading and writing of GIF structures: little-endian words and data sub-blocks
// (a length byte, that many bytes, ... ended by a zero length).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velk {

class GIFByteReader {
public:
  GIFByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Position() const { return position_; }
  size_t Remaining() const { return size_ - position_; }
  // Back to an earlier position (to read a block again).
  void Seek(size_t position) { position_ = position < size_ ? position : size_; }

  // Each of these throws GIFException("Premature end of data") when the bytes run out.
  uint8_t Byte();
  uint16_t Word();
  // A pointer to the next count bytes, which are then passed.
  const uint8_t* Take(size_t count);
  // One data sub-block: its bytes are appended to out; returns its length (0 ends the list).
  size_t SubBlock(std::vector<uint8_t>& out);
  // All data sub-blocks up to the terminator, concatenated into out.
  void SubBlocks(std::vector<uint8_t>& out);

private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

class GIFByteWriter {
public:
  explicit GIFByteWriter(std::vector<uint8_t>& out) : out_(out) {}

  void Byte(uint8_t value) { out_.push_back(value); }
  void Word(uint16_t value) {
    out_.push_back(uint8_t(value & 0xFF));
    out_.push_back(uint8_t(value >> 8));
  }
  void Bytes(const void* data, size_t count);
  // data cut into sub-blocks of at most 255 bytes, then the terminator.
  void SubBlocks(const uint8_t* data, size_t count);
  void SubBlocks(const std::vector<uint8_t>& data) { SubBlocks(data.data(), data.size()); }

private:
  std::vector<uint8_t>& out_;
};

}  // namespace velk
