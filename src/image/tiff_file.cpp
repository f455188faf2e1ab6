#include "image/tiff_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "image/tiff_format.h"

namespace velk {
namespace {

class FileSource : public TiffSource {
public:
  FileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~FileSource() override { ::close(fd_); }
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* target, size_t count) const override {
    if (offset >= size_) return 0;
    count = size_t(std::min<uint64_t>(count, size_ - offset));
    auto* out = static_cast<uint8_t*>(target);
    size_t done = 0;
    while (done < count) {
      const ssize_t got = ::pread(fd_, out + done, count - done, off_t(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += size_t(got);
    }
    return done;
  }

private:
  int fd_;
  uint64_t size_;
};

class MemorySource : public TiffSource {
public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, void* target, size_t count) const override {
    if (offset >= bytes_.size()) return 0;
    count = size_t(std::min<uint64_t>(count, bytes_.size() - offset));
    if (count) std::memcpy(target, bytes_.data() + offset, count);
    return count;
  }

private:
  std::span<const uint8_t> bytes_;
};

}  // namespace

std::unique_ptr<TiffSource> OpenTiffSource(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<FileSource>(fd, uint64_t(info.st_size));
}

std::unique_ptr<TiffSource> MemoryTiffSource(std::span<const uint8_t> bytes) {
  return std::make_unique<MemorySource>(bytes);
}

// --- TGraphicTiff ---------------------------------------------------------------------------

const TiffEntry* TGraphicTiff::Entry(uint16_t tag) const {
  const TiffEntry* found = nullptr;
  for (const TiffEntry& entry : entries_)
    if (entry.tag == tag) found = &entry;
  return found;
}

std::optional<uint32_t> TGraphicTiff::Value(uint16_t tag) const {
  const TiffEntry* entry = Entry(tag);
  if (!entry || entry->count == 0 || !tiff::IntegerType(entry->type)) return std::nullopt;
  const uint32_t size = tiff::FieldSize(entry->type);
  if (uint64_t(size) * entry->count <= 4) return owner_.GetElement(entry->type, entry->value);
  uint8_t first[4];
  if (!owner_.source_->ReadExactly(owner_.Get32(entry->value), first, size)) return std::nullopt;
  return owner_.GetElement(entry->type, first);
}

bool TGraphicTiff::Values(const TiffEntry& entry, std::vector<uint32_t>& values) const {
  values.clear();
  if (!tiff::IntegerType(entry.type)) return false;
  const uint32_t size = tiff::FieldSize(entry.type);
  const uint64_t bytes = uint64_t(size) * entry.count;
  if (bytes <= 4) {
    for (uint32_t i = 0; i < entry.count; ++i)
      values.push_back(owner_.GetElement(entry.type, entry.value + i * size));
    return true;
  }
  const uint32_t offset = owner_.Get32(entry.value);
  if (offset > owner_.fileSize_ || bytes > owner_.fileSize_ - offset) return false;
  std::vector<uint8_t> raw(bytes);
  if (!owner_.source_->ReadExactly(offset, raw.data(), raw.size())) return false;
  values.resize(entry.count);
  for (uint32_t i = 0; i < entry.count; ++i)
    values[i] = owner_.GetElement(entry.type, raw.data() + size_t(i) * size);
  return true;
}

void TGraphicTiff::Read(uint32_t offset, uint64_t& entryBudget, uint64_t& stripBudget) {
  const TiffSource& source = *owner_.source_;
  uint8_t countBytes[2];
  if (!source.ReadExactly(offset, countBytes, 2)) {
    readFailure_ = true;
    return;
  }
  entryCount_ = owner_.Get16(countBytes);
  uint64_t position = uint64_t(offset) + 2;
  if (entryCount_ != 0) {
    const uint64_t bytes = uint64_t(entryCount_) * tiff::kEntrySize;
    std::vector<uint8_t> raw;
    if (entryCount_ <= entryBudget && position + bytes <= owner_.fileSize_) {
      raw.resize(bytes);
      if (!source.ReadExactly(position, raw.data(), raw.size())) raw.clear();
    }
    if (raw.empty()) {
      readFailure_ = true;
      return;
    }
    entryBudget -= entryCount_;
    entries_.resize(entryCount_);
    for (size_t i = 0; i < entries_.size(); ++i) {
      const uint8_t* p = raw.data() + i * tiff::kEntrySize;
      TiffEntry& entry = entries_[i];
      entry.tag = owner_.Get16(p);
      entry.type = owner_.Get16(p + 2);
      entry.count = owner_.Get32(p + 4);
      std::memcpy(entry.value, p + 8, 4);
    }
    position += bytes;
  }
  endPosition_ = uint32_t(std::min<uint64_t>(position, UINT32_MAX));
  uint8_t next[4];
  nextDirectory_ = source.ReadExactly(position, next, 4) ? owner_.Get32(next) : 0;
  ReadStrips(stripBudget);
}

// Both strip tags with the same count give the table; anything else leaves it empty.
void TGraphicTiff::ReadStrips(uint64_t& stripBudget) {
  const TiffEntry* offsets = Entry(tiff::kStripOffsets);
  const TiffEntry* counts = Entry(tiff::kStripByteCounts);
  if (!offsets || !counts || offsets->count != counts->count || offsets->count == 0) return;
  if (offsets->count > stripBudget) return;
  std::vector<uint32_t> starts, sizes;
  if (!Values(*offsets, starts) || !Values(*counts, sizes)) return;
  stripBudget -= offsets->count;
  strips_.resize(starts.size());
  for (size_t i = 0; i < strips_.size(); ++i) strips_[i] = {starts[i], sizes[i]};
}

// --- TFileTiff ------------------------------------------------------------------------------

uint32_t TFileTiff::GetElement(uint16_t type, const uint8_t* p) const {
  switch (tiff::FieldSize(type)) {
    case 1: return p[0];
    case 2: return Get16(p);
    default: return Get32(p);
  }
}

const TGraphicTiff& TFileTiff::Directory(int index) const {
  if (index < 0 || index >= kMaxDirectories || index >= DirectoryCount())
    throw std::out_of_range("TIFF directory index out of range");
  return *directories_[size_t(index)];
}

void TFileTiff::Close() {
  directories_.clear();
  source_.reset();
  fileName_.clear();
  fileSize_ = 0;
  valid_ = false;
  intel_ = true;
}

void TFileTiff::SetFileName(const std::string& name) {
  if (name == fileName_) return;
  if (name.empty()) {
    Close();
    return;
  }
  Open(OpenTiffSource(name), name);
}

void TFileTiff::Open(std::unique_ptr<TiffSource> source, const std::string& name) {
  Close();
  fileName_ = name;
  source_ = std::move(source);
  if (!source_) return;  // a file that cannot be opened reads as an empty one
  fileSize_ = source_->Size();
  Walk();
}

void TFileTiff::Walk() {
  uint8_t header[tiff::kHeaderSize];
  if (fileSize_ < tiff::kHeaderSize || !source_->ReadExactly(0, header, sizeof header)) return;
  if (header[0] == 'I' && header[1] == 'I') intel_ = true;
  else if (header[0] == 'M' && header[1] == 'M') intel_ = false;
  else return;
  if (Get16(header + 2) != tiff::kMagic) return;
  valid_ = true;

  // A well-formed file never holds more entries or strips than its bytes can describe, however
  // its directories overlap. Two SHORT strips fit in an entry itself; more take two bytes each.
  uint64_t entryBudget = fileSize_ / tiff::kEntrySize;
  uint64_t stripBudget = fileSize_ / 2 + 2 * kMaxDirectories;
  std::vector<uint32_t> seen;
  uint32_t offset = Get32(header + 4);
  while (offset >= tiff::kHeaderSize && directories_.size() < size_t(kMaxDirectories)) {
    // A chain that comes back to a directory already read ends there.
    if (std::find(seen.begin(), seen.end(), offset) != seen.end()) break;
    seen.push_back(offset);
    auto directory = std::unique_ptr<TGraphicTiff>(new TGraphicTiff(*this));
    directory->Read(offset, entryBudget, stripBudget);
    const bool failed = directory->ReadFailure();
    offset = directory->NextDirectory();
    directories_.push_back(std::move(directory));
    if (failed) break;
  }
}

}  // namespace velk
