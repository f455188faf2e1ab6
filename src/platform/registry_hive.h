#pragma once
// The keys and values of HKEY_CURRENT_USER, read from and written to a file in the registry
// editor's export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Velk's Software\Velk's JPEG viewer]
//   "Directory"="/home/velk/Pictures"
//   "Zoom"=dword:00000009
//
// The file is UTF-8 with LF line endings (CRLF and a UTF-16 export are read too). Whatever the
// bytes, loading never fails: lines that cannot be understood are reported as problems and
// left out, and the original is copied aside before it is first overwritten.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

enum class RegValueType { String, Dword, Other };

struct RegValue {
  std::string name;  // "" is the key's default value, "@" in the file
  RegValueType type = RegValueType::String;
  // String: the text. Other: the data as the file writes it after "=" ("hex:01,02", ...).
  std::string text;
  uint32_t dword = 0;
};

// A key's components below HKEY_CURRENT_USER: "Software\Velk's Software" gives two; empty
// components (a leading, trailing or doubled "\") are dropped. Stops after limit + 1 parts,
// which is enough to tell that a path is too deep.
std::vector<std::string> SplitKeyPath(std::string_view path, size_t limit = size_t(-1));
std::string JoinKeyPath(const std::vector<std::string>& parts);

class RegKey {
public:
  explicit RegKey(std::string name) : name_(std::move(name)) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  const std::string& Name() const { return name_; }
  // Named in the file or created, as opposed to implied by a key below it.
  bool IsExplicit() const { return explicit_; }
  const RegValue* FindValue(std::string_view name) const;
  RegKey* FindSubkey(std::string_view name) const;
  const std::vector<RegValue>& Values() const { return values_; }
  const std::vector<std::unique_ptr<RegKey>>& Subkeys() const { return subkeys_; }

private:
  friend class RegistryHive;
  std::string name_;
  bool explicit_ = false;
  std::vector<RegValue> values_;  // in the order first seen
  std::map<std::string, size_t> valueIndex_;  // lower-cased name -> position in values_
  std::vector<std::unique_ptr<RegKey>> subkeys_;
  std::map<std::string, size_t> subkeyIndex_;
};

class RegistryHive {
public:
  static constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
  // Limits that keep a hostile file from taking the machine's memory.
  static constexpr uint64_t kMaxFileBytes = uint64_t(16) << 20;
  static constexpr size_t kMaxDepth = 512;  // as the platform's registry
  static constexpr size_t kMaxKeys = 65536;
  static constexpr size_t kMaxValues = 262144;
  static constexpr size_t kMaxProblems = 100;

  explicit RegistryHive(std::string path);
  ~RegistryHive();
  const std::string& Path() const { return path_; }

  // Reads the file; a missing file is an empty hive, an unreadable one an empty hive with a
  // problem.
  void Load();
  // Replaces the contents with what the bytes of a hive file hold.
  void Parse(std::string_view bytes);
  std::string Serialize() const;
  // Writes the file atomically, making its folder when missing. Before the first write over a
  // file that had problems, copies it to "<path>.damaged". False when anything fails.
  bool Save();
  // "line N: what was wrong", at most kMaxProblems entries plus a count of the rest.
  const std::vector<std::string>& Problems() const { return problems_; }

  const RegKey& Root() const { return *root_; }
  RegKey* FindKey(const std::vector<std::string>& path) const;
  // The key, made with any missing keys above it and marked explicit. Null when a name holds
  // a line break or NUL, or the hive would grow beyond its limits.
  RegKey* CreateKey(const std::vector<std::string>& path);
  // Removes the key with everything below it (to undo a creation that could not be saved).
  void RemoveKey(const std::vector<std::string>& path);
  // Sets a value; an existing one keeps the case of its name. False beyond kMaxValues.
  bool SetValue(RegKey& key, RegValue value);
  void RemoveValue(RegKey& key, std::string_view name);

private:
  class Parser;
  RegKey* Child(RegKey& parent, const std::string& name);
  void AddProblem(size_t line, const std::string& what);
  void Clear();

  std::string path_;
  std::unique_ptr<RegKey> root_;
  size_t keyCount_ = 0;
  size_t valueCount_ = 0;
  std::vector<std::string> problems_;
  size_t problemCount_ = 0;
  bool fileExisted_ = false;
  bool damagedCopied_ = false;
};

}  // namespace velk
