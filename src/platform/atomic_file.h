#pragma once
// Whole-file reads and crash-safe writes: a write goes to a temporary file in the same folder,
// is flushed to disk and renamed over the target, so readers see the old or the new file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

// The whole file, or nullopt when it cannot be opened or read. Files larger than maxBytes are
// refused (nullopt) before anything is allocated.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path,
                                                  uint64_t maxBytes = uint64_t(1) << 32);

// Throws EFileError "Cannot open file "<path>". <why>" when the file cannot be opened for
// reading, is not a regular file (a pipe, a folder) or is empty: the same words for every
// kind of picture. Never waits for a pipe's writer.
void CheckFileReadable(const std::string& path);

// Replaces path with data atomically. Returns false (and leaves the old file) on any failure.
// A new file gets mode 0666 minus the umask; an existing file keeps its mode.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);
inline bool WriteFileAtomically(const std::string& path, std::string_view text) {
  return WriteFileAtomically(path, text.data(), text.size());
}
inline bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace velk
