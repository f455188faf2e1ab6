#pragma once
// HKEY_CURRENT_USER as a text file in the registry editor's export format, with the
// operations the program uses: open / open-or-create a key, query and set typed values.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velk {

class RegistryHive;
struct RegValue;

// $XDG_CONFIG_HOME/velkview/hkcu.reg (XDG_CONFIG_HOME defaults to ~/.config).
std::string DefaultHivePath();

// Messages of the typed value operations ("%s" is the value's name).
inline constexpr const char* kFailedToGetData = "Failed to get data for '%s'";
inline constexpr const char* kInvalidDataType = "Invalid data type for '%s'";
inline constexpr const char* kFailedToSetData = "Failed to set data for '%s'";

// The framework's registry object: a current key below HKEY_CURRENT_USER. Key paths starting
// with "\" are absolute from the hive's root, others relative to the current key.
// Key and value names compare without regard to case.
class Registry {
public:
  explicit Registry(std::string hivePath = DefaultHivePath());
  ~Registry();

  // Opens a key; with canCreate, creates it (and writes the hive) when missing.
  // Returns false when the key is missing and may not be created, or cannot be written.
  bool OpenKey(const std::string& key, bool canCreate);
  bool KeyExists(const std::string& key) const;
  void CloseKey();
  const std::string& CurrentPath() const;

  bool ValueExists(const std::string& name) const;
  // A missing text value reads as empty; a value of another type throws EVelkError(kInvalidDataType).
  std::string ReadString(const std::string& name) const;
  // Missing: EVelkError(kFailedToGetData); not a DWORD: EVelkError(kInvalidDataType).
  int ReadInteger(const std::string& name) const;
  bool ReadBool(const std::string& name) const;  // non-zero is true

  // Each write replaces the hive file atomically; failure throws EVelkError(kFailedToSetData),
  // also when no key is open.
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int value);
  void WriteBool(const std::string& name, bool value);

  // Between these, writes change the hive in memory and the file is replaced once at the end:
  // a program killed meanwhile leaves every value as it was, never half of them written.
  // EndUpdate throws EVelkError(kFailedToSetData) for the first value written since
  // BeginUpdate when the hive cannot be saved, as writing that value alone would have.
  void BeginUpdate();
  void EndUpdate();

  // Problems found while reading the hive file (lines that could not be parsed and were
  // treated as absent). Empty for a sound file.
  const std::vector<std::string>& LoadProblems() const;

private:
  void Put(RegValue value);

  std::unique_ptr<RegistryHive> hive_;
  std::string current_;  // "" = no key open; otherwise the key path without leading "\"
  bool keyOpen_ = false;
  bool updating_ = false;
  std::optional<std::string> firstUpdated_;  // the first value written in the update
};

}  // namespace velk
