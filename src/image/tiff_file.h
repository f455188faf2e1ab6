#pragma once
// One TIFF file as a chain of image file directories. Every read is checked against the file's
// size, so any bytes give a bounded walk: at most kMaxDirectories directories, entries and strip
// tables that together never outgrow the file.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velk {

// Where the bytes of a TIFF come from: a file on disk or a buffer in memory.
class TiffSource {
public:
  virtual ~TiffSource() = default;
  virtual uint64_t Size() const = 0;
  // Copies up to `count` bytes at `offset`; returns how many there were.
  virtual size_t ReadAt(uint64_t offset, void* target, size_t count) const = 0;
  bool ReadExactly(uint64_t offset, void* target, size_t count) const {
    return ReadAt(offset, target, count) == count;
  }
};

// Read-only file; nullptr when it cannot be opened or is not a regular file.
std::unique_ptr<TiffSource> OpenTiffSource(const std::string& path);
// Bytes that the caller keeps alive for the source's lifetime.
std::unique_ptr<TiffSource> MemoryTiffSource(std::span<const uint8_t> bytes);

struct TiffEntry {
  uint16_t tag = 0;
  uint16_t type = 0;
  uint32_t count = 0;
  uint8_t value[4] = {};  // as stored: the value itself or the offset of the values
};

struct TiffStrip {
  uint32_t offset = 0;
  uint32_t byteCount = 0;
};

class TFileTiff;

// One image file directory.
class TGraphicTiff {
public:
  const TFileTiff& Owner() const { return owner_; }
  uint16_t EntryCount() const { return entryCount_; }
  const std::vector<TiffEntry>& Entries() const { return entries_; }
  // The last entry with the tag, or nullptr.
  const TiffEntry* Entry(uint16_t tag) const;
  // The first value of an entry with whole-number elements, read by its field type; nullopt when
  // the tag is missing, has no elements, is not a whole-number type or its values are unreadable.
  std::optional<uint32_t> Value(uint16_t tag) const;
  // All values of a whole-number entry, from the entry itself when they fit in its four bytes,
  // else from the offset it holds. False when they are not all inside the file.
  bool Values(const TiffEntry& entry, std::vector<uint32_t>& values) const;

  uint32_t EndPosition() const { return endPosition_; }
  uint32_t NextDirectory() const { return nextDirectory_; }
  uint32_t StripCount() const { return uint32_t(strips_.size()); }
  const TiffStrip* Strip(uint32_t index) const {
    return index < strips_.size() ? &strips_[index] : nullptr;
  }
  const std::vector<TiffStrip>& Strips() const { return strips_; }
  bool ReadFailure() const { return readFailure_; }

private:
  friend class TFileTiff;
  explicit TGraphicTiff(const TFileTiff& owner) : owner_(owner) {}
  // The budgets bound what the whole walk holds in memory; each read takes its share.
  void Read(uint32_t offset, uint64_t& entryBudget, uint64_t& stripBudget);
  void ReadStrips(uint64_t& stripBudget);

  const TFileTiff& owner_;
  uint16_t entryCount_ = 0;
  std::vector<TiffEntry> entries_;
  uint32_t endPosition_ = 0;
  uint32_t nextDirectory_ = 0;
  std::vector<TiffStrip> strips_;
  bool readFailure_ = false;
};

class TFileTiff {
public:
  // Directory indexes are 8-bit: 0 to 255.
  static constexpr int kMaxDirectories = 256;

  TFileTiff() = default;
  TFileTiff(const TFileTiff&) = delete;
  TFileTiff& operator=(const TFileTiff&) = delete;

  const std::string& FileName() const { return fileName_; }
  // Opens and walks the named file when the name differs from the current one; "" closes it.
  void SetFileName(const std::string& name);
  // Walks bytes from any source; `name` stands for the file in messages.
  void Open(std::unique_ptr<TiffSource> source, const std::string& name);

  bool Valid() const { return valid_; }
  uint64_t FileSize() const { return fileSize_; }
  bool Intel() const { return intel_; }
  int DirectoryCount() const { return int(directories_.size()); }
  // Throws std::out_of_range for an index that is not in the list (256 and up never are).
  const TGraphicTiff& Directory(int index) const;
  const TiffSource* Source() const { return source_.get(); }

  uint16_t Get16(const uint8_t* p) const {
    return intel_ ? uint16_t(p[0] | p[1] << 8) : uint16_t(p[0] << 8 | p[1]);
  }
  uint32_t Get32(const uint8_t* p) const {
    const uint32_t b0 = p[0], b1 = p[1], b2 = p[2], b3 = p[3];
    return intel_ ? b0 | b1 << 8 | b2 << 16 | b3 << 24 : b0 << 24 | b1 << 16 | b2 << 8 | b3;
  }
  // One element of a whole-number type at p.
  uint32_t GetElement(uint16_t type, const uint8_t* p) const;

private:
  friend class TGraphicTiff;
  void Close();
  void Walk();

  std::string fileName_;
  std::unique_ptr<TiffSource> source_;
  uint64_t fileSize_ = 0;
  bool intel_ = true;
  bool valid_ = false;
  std::vector<std::unique_ptr<TGraphicTiff>> directories_;
};

}  // namespace velk
