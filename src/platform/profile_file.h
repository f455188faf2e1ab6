#pragma once
// Windows profile (INI) files read and written per call, with no cached copy.
#include <string>
#include <vector>

namespace velk {

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

private:
  std::string path_;
};

}  // namespace velk
