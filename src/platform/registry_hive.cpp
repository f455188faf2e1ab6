#include "platform/registry_hive.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/file_path.h"

namespace velk {
namespace {

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && AsciiLower(std::string(s.substr(0, prefix.size()))) ==
                                          AsciiLower(std::string(prefix));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

// The registry editor itself exports UTF-16LE; a file copied from Windows reads as well.
std::string FromUtf16Le(std::string_view b) {
  std::string out;
  out.reserve(b.size());
  auto unit = [&](size_t i) { return uint32_t(uint8_t(b[i])) | uint32_t(uint8_t(b[i + 1])) << 8; };
  for (size_t i = 2; i + 1 < b.size(); i += 2) {
    uint32_t c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < b.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

// Backslash and double quote are escaped as the registry editor does; line breaks too, so a
// text never spans lines. A C string ends at NUL.
std::string Quoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s.substr(0, s.find('\0'))) {
    if (c == '\\' || c == '"') out += '\\';
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out + '"';
}

// Reads a quoted text starting at s[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> Unquote(std::string_view s, size_t& pos) {
  std::string out;
  for (size_t i = pos + 1; i < s.size(); ++i) {
    if (s[i] == '"') {
      pos = i + 1;
      return out;
    }
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char next = s[++i];
      if (next == 'n') out += '\n';
      else if (next == 'r') out += '\r';
      else if (next == '\\' || next == '"') out += next;
      else out += '\\', out += next;  // not an escape the editor writes: keep it as it stands
    } else {
      out += s[i];
    }
  }
  return std::nullopt;
}

// "hex:01,ff", "hex(2):41,00,00,00", "hex(b):": the types kept without being understood.
bool IsHexData(std::string_view s) {
  if (!StartsWithIgnoringCase(s, "hex")) return false;
  size_t i = 3;
  if (i < s.size() && s[i] == '(') {
    const size_t close = s.find(')', i);
    if (close == std::string_view::npos || close == i + 1 || close > i + 9) return false;
    for (size_t j = i + 1; j < close; ++j)
      if (HexDigit(s[j]) < 0) return false;
    i = close + 1;
  }
  if (i >= s.size() || s[i] != ':') return false;
  for (++i; i < s.size();) {
    if (i + 1 >= s.size() || HexDigit(s[i]) < 0 || HexDigit(s[i + 1]) < 0) return false;
    i += 2;
    if (i < s.size() && s[i++] != ',') return false;
  }
  return true;
}

// Walks the text line by line without splitting it up front.
class LineReader {
public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const size_t nl = text_.find('\n', pos_);
    const size_t end = nl == std::string_view::npos ? text_.size() : nl;
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lastOpen_ = nl == std::string_view::npos;
    pos_ = end + 1;
    ++number_;
    return true;
  }
  size_t Number() const { return number_; }
  // Whether the line just read is the last and lacks its line break (a file cut short?).
  bool LastLineOpen() const { return lastOpen_; }

private:
  std::string_view text_;
  size_t pos_ = 0;
  size_t number_ = 0;
  bool lastOpen_ = false;
};

std::string LowerKey(std::string_view name) { return AsciiLower(std::string(name)); }

bool ValidName(std::string_view name) {
  return name.find_first_of(std::string_view("\0\r\n\\", 4)) == std::string_view::npos;
}

}  // namespace

std::vector<std::string> SplitKeyPath(std::string_view path, size_t limit) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size() && parts.size() <= limit) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string JoinKeyPath(const std::vector<std::string>& parts) {
  std::string path;
  for (const auto& part : parts) path += (path.empty() ? "" : "\\") + part;
  return path;
}

const RegValue* RegKey::FindValue(std::string_view name) const {
  const auto it = valueIndex_.find(LowerKey(name));
  return it == valueIndex_.end() ? nullptr : &values_[it->second];
}

RegKey* RegKey::FindSubkey(std::string_view name) const {
  const auto it = subkeyIndex_.find(LowerKey(name));
  return it == subkeyIndex_.end() ? nullptr : subkeys_[it->second].get();
}

// Reads one hive file into the hive, line by line.
class RegistryHive::Parser {
public:
  Parser(RegistryHive& hive, std::string_view text) : hive_(hive), lines_(text) {}

  void Run() {
    std::string_view line;
    bool headerSeen = false;
    while (lines_.Next(line)) {
      const std::string_view t = Trim(line);
      if (t.empty()) continue;
      if (!headerSeen) {
        headerSeen = true;
        if (t == kHeader || t == "REGEDIT4") continue;
        Problem(std::string("missing \"") + kHeader + "\"");
      }
      if (t.find('\0') != std::string_view::npos) Problem("NUL byte");
      else if (t[0] == ';') continue;  // a comment
      else if (t[0] == '[') KeyLine(t);
      else if (t[0] == '"' || t[0] == '@') ValueLine(t);
      else Problem("neither a key nor a value");
      if (lines_.LastLineOpen()) Problem("the file ends in the middle of this line");
    }
  }

private:
  void Problem(const std::string& what) { hive_.AddProblem(lines_.Number(), what); }

  void KeyLine(std::string_view t) {
    current_ = nullptr;
    if (t.back() != ']') return Problem("key name without \"]\"");
    const std::string_view name = t.substr(1, t.size() - 2);
    if (!StartsWithIgnoringCase(name, kRootName) ||
        (name.size() > kRootName.size() && name[kRootName.size()] != '\\'))
      return Problem("key outside " + std::string(kRootName) + " (or a deletion)");
    const auto parts = SplitKeyPath(name.substr(kRootName.size()), kMaxDepth);
    if (parts.size() > kMaxDepth) return Problem("key nested too deeply");
    for (const auto& part : parts)
      if (!ValidName(part)) return Problem("key name with a control character");
    current_ = hive_.CreateKey(parts);
    if (!current_) Problem("too many keys");
  }

  void ValueLine(std::string_view t) {
    RegValue value;
    size_t pos = 1;
    if (t[0] == '"') {
      pos = 0;
      auto name = Unquote(t, pos);
      if (!name) return Problem("value name without closing quote");
      value.name = std::move(*name);
    }
    const std::string_view rest = Trim(t.substr(pos));
    if (rest.empty() || rest[0] != '=') return Problem("value without \"=\"");
    std::string_view data = Trim(rest.substr(1));
    std::string joined;
    if (!data.empty() && data[0] == '"') {
      pos = 0;
      auto text = Unquote(data, pos);
      if (!text) return Problem("text without closing quote");
      if (!Trim(data.substr(pos)).empty()) return Problem("text followed by more");
      value.text = std::move(*text);
    } else if (StartsWithIgnoringCase(data, "dword:")) {
      data.remove_prefix(6);
      if (data.empty() || data.size() > 8) return Problem("dword not of 1 to 8 hex digits");
      for (char c : data) {
        if (HexDigit(c) < 0) return Problem("dword not of 1 to 8 hex digits");
        value.dword = value.dword * 16 + uint32_t(HexDigit(c));
      }
      value.type = RegValueType::Dword;
    } else {
      // Long binary data continues on the next lines after a trailing "\".
      joined = std::string(data);
      std::string_view more;
      const bool binary = StartsWithIgnoringCase(data, "hex");
      while (binary && !joined.empty() && joined.back() == '\\' && lines_.Next(more)) {
        joined.pop_back();
        joined += Trim(more);
      }
      if (!joined.empty() && joined.back() == '\\') joined.pop_back();
      if (!IsHexData(joined)) return Problem(data == "-" ? "value deletion" : "unknown value type");
      value.type = RegValueType::Other;
      value.text = std::move(joined);
    }
    if (!current_) return Problem("value outside a key");
    if (!hive_.SetValue(*current_, std::move(value))) Problem("too many values");
  }

  RegistryHive& hive_;
  LineReader lines_;
  RegKey* current_ = nullptr;
};

RegistryHive::RegistryHive(std::string path)
    : path_(std::move(path)), root_(std::make_unique<RegKey>("")) {}

RegistryHive::~RegistryHive() = default;

void RegistryHive::Clear() {
  root_ = std::make_unique<RegKey>("");
  keyCount_ = valueCount_ = problemCount_ = 0;
  problems_.clear();
}

void RegistryHive::AddProblem(size_t line, const std::string& what) {
  ++problemCount_;
  if (problemCount_ <= kMaxProblems) {
    problems_.push_back(line ? "line " + std::to_string(line) + ": " + what : what);
  } else {
    problems_.resize(kMaxProblems);
    problems_.push_back("and " + std::to_string(problemCount_ - kMaxProblems) + " more problems");
  }
}

void RegistryHive::Load() {
  Clear();
  fileExisted_ = false;
  struct stat info {};
  if (::stat(path_.c_str(), &info) != 0 && errno == ENOENT) return;
  fileExisted_ = true;
  const auto bytes = ReadWholeFile(path_, kMaxFileBytes);
  if (!bytes) return AddProblem(0, "the file cannot be read or is larger than 16 MiB");
  Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

void RegistryHive::Parse(std::string_view bytes) {
  Clear();
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    const std::string text = FromUtf16Le(bytes);
    Parser(*this, text).Run();
  } else {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    Parser(*this, bytes).Run();
  }
}

namespace {

void WriteKey(std::string& out, const RegKey& key, const std::string& path) {
  if (key.IsExplicit() || !key.Values().empty()) {
    out += "[" + path + "]\n";
    for (const RegValue& v : key.Values()) {
      out += v.name.empty() ? std::string("@") : Quoted(v.name);
      out += '=';
      if (v.type == RegValueType::String) {
        out += Quoted(v.text);
      } else if (v.type == RegValueType::Dword) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08x", unsigned(v.dword));
        out += std::string("dword:") + digits;
      } else {
        out += v.text;
      }
      out += '\n';
    }
    out += '\n';
  }
  for (const auto& sub : key.Subkeys()) WriteKey(out, *sub, path + "\\" + sub->Name());
}

// Makes the hive's folder, private to the user, when it is missing.
void MakeFolder(const std::string& folder) {
  if (folder.empty()) return;
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0) return;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ignored);
  ::mkdir(folder.c_str(), 0700);
}

}  // namespace

std::string RegistryHive::Serialize() const {
  std::string out = std::string(kHeader) + "\n\n";
  WriteKey(out, *root_, std::string(kRootName));
  return out;
}

bool RegistryHive::Save() {
  std::string folder = ExtractFilePath(path_);
  if (folder.size() > 1) folder.pop_back();
  MakeFolder(folder);
  if (problemCount_ > 0 && fileExisted_ && !damagedCopied_) {
    std::error_code error;
    std::filesystem::copy_file(path_, path_ + ".damaged",
                               std::filesystem::copy_options::overwrite_existing, error);
    // A file that has gone meanwhile holds nothing to keep.
    if (error && error != std::errc::no_such_file_or_directory) return false;
    damagedCopied_ = true;
  }
  return WriteFileAtomically(path_, Serialize());
}

RegKey* RegistryHive::Child(RegKey& parent, const std::string& name) {
  if (RegKey* existing = parent.FindSubkey(name)) return existing;
  if (!ValidName(name) || keyCount_ >= kMaxKeys) return nullptr;
  ++keyCount_;
  parent.subkeyIndex_[LowerKey(name)] = parent.subkeys_.size();
  parent.subkeys_.push_back(std::make_unique<RegKey>(name));
  return parent.subkeys_.back().get();
}

RegKey* RegistryHive::FindKey(const std::vector<std::string>& path) const {
  RegKey* key = root_.get();
  for (size_t i = 0; key && i < path.size(); ++i) key = key->FindSubkey(path[i]);
  return key;
}

RegKey* RegistryHive::CreateKey(const std::vector<std::string>& path) {
  if (path.size() > kMaxDepth) return nullptr;
  RegKey* key = root_.get();
  for (size_t i = 0; key && i < path.size(); ++i) key = Child(*key, path[i]);
  if (key) key->explicit_ = true;
  return key;
}

namespace {
size_t CountKeys(const RegKey& key) {
  size_t n = 1;
  for (const auto& sub : key.Subkeys()) n += CountKeys(*sub);
  return n;
}
size_t CountValues(const RegKey& key) {
  size_t n = key.Values().size();
  for (const auto& sub : key.Subkeys()) n += CountValues(*sub);
  return n;
}
}  // namespace

void RegistryHive::RemoveKey(const std::vector<std::string>& path) {
  if (path.empty()) return;
  RegKey* parent = FindKey(std::vector<std::string>(path.begin(), path.end() - 1));
  if (!parent) return;
  const auto it = parent->subkeyIndex_.find(LowerKey(path.back()));
  if (it == parent->subkeyIndex_.end()) return;
  const RegKey& gone = *parent->subkeys_[it->second];
  keyCount_ -= CountKeys(gone);
  valueCount_ -= CountValues(gone);
  parent->subkeys_.erase(parent->subkeys_.begin() + ptrdiff_t(it->second));
  parent->subkeyIndex_.clear();
  for (size_t i = 0; i < parent->subkeys_.size(); ++i)
    parent->subkeyIndex_[LowerKey(parent->subkeys_[i]->Name())] = i;
}

bool RegistryHive::SetValue(RegKey& key, RegValue value) {
  const auto it = key.valueIndex_.find(LowerKey(value.name));
  if (it != key.valueIndex_.end()) {
    value.name = key.values_[it->second].name;
    key.values_[it->second] = std::move(value);
    return true;
  }
  if (valueCount_ >= kMaxValues) return false;
  ++valueCount_;
  key.valueIndex_[LowerKey(value.name)] = key.values_.size();
  key.values_.push_back(std::move(value));
  return true;
}

void RegistryHive::RemoveValue(RegKey& key, std::string_view name) {
  const auto it = key.valueIndex_.find(LowerKey(name));
  if (it == key.valueIndex_.end()) return;
  --valueCount_;
  key.values_.erase(key.values_.begin() + ptrdiff_t(it->second));
  key.valueIndex_.clear();
  for (size_t i = 0; i < key.values_.size(); ++i) key.valueIndex_[LowerKey(key.values_[i].name)] = i;
}

}  // namespace velk
