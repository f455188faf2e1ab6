#pragma once
// INI files as Windows reads and writes them: every call goes to the file, nothing is cached
// (except the edits of an update in progress).
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velk {

// Larger files are not profile files; they read as missing and refuse writes.
inline constexpr uint64_t kMaxProfileBytes = uint64_t(16) << 20;

class ProfileFile {
public:
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}
  const std::string& FileName() const { return path_; }

  // At most 1023 characters; the default when the file, section or key is missing.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Decimal, or hexadecimal after "0x"; the default when missing or malformed.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  // Non-zero integer is true.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  // Key names of a section, in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;
  // Every key of a section, in file order, with its value as ReadString reads it (nullopt for
  // a key without "="): one pass over the file, for callers that want many keys.
  std::vector<std::pair<std::string, std::optional<std::string>>> ReadSectionValues(
      const std::string& section) const;
  // Section names, in file order.
  std::vector<std::string> ReadSections() const;
  // True when the section holds at least one key, as the framework's ini object answers.
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  // Writes keep the rest of the file as it was and replace the file atomically.
  // A failure throws EFileError("Unable to write to <file name>").
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);  // "1" / "0"
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& key);

  // Between these, writes edit a copy in memory (reads see it) and the file is replaced once
  // at the end, so a program killed meanwhile leaves it as it was, never with half the edits.
  // BeginUpdate throws like a write when the file exists but cannot be read; EndUpdate throws
  // "Unable to write to <file name>" and then leaves the file as it was.
  void BeginUpdate();
  void EndUpdate();

private:
  std::optional<std::string> Load() const;
  std::string LoadToEdit() const;
  void Save(std::string text);

  std::string path_;
  std::optional<std::string> update_;
  bool updateEdited_ = false;
};

}  // namespace velk
