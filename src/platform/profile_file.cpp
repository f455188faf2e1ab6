#include "platform/profile_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/file_path.h"
#include "platform/program_files.h"

namespace velk {
namespace {

// What the platform's 1024-character buffer holds.
constexpr size_t kMaxValueChars = 1023;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Names and values as written: a C string ends at NUL, and a line break would split the line.
std::string OneLine(std::string_view s) {
  std::string out(s.substr(0, s.find('\0')));
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

enum class LineKind { Other, Section, Key };

struct Line {
  size_t begin = 0, end = 0;  // the text without its line break
  size_t next = 0;            // where the following line starts
  LineKind kind = LineKind::Other;
  bool blank = false;
  bool hasValue = false;  // a key line with "="; a bare word is a key without a value
  std::string_view name;  // section or key name, trimmed
  std::string_view value;
};

// Walks a profile text line by line. Nothing is kept per line, so a file of millions of short
// lines costs no more memory than its text.
class LineScanner {
public:
  explicit LineScanner(std::string_view text)
      : text_(text), start_(text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0), pos_(start_) {}
  // Where the first line begins, after a byte order mark.
  size_t Start() const { return start_; }

  bool Next(Line& line) {
    if (pos_ >= text_.size()) return false;
    line = Line();
    line.begin = pos_;
    const size_t nl = text_.find('\n', pos_);
    if (nl == std::string_view::npos) {
      line.end = line.next = text_.size();
    } else {
      line.next = nl + 1;
      line.end = (nl > pos_ && text_[nl - 1] == '\r') ? nl - 1 : nl;
    }
    pos_ = line.next;
    Classify(line);
    return true;
  }

private:
  void Classify(Line& line) const {
    const std::string_view t = Trim(text_.substr(line.begin, line.end - line.begin));
    if (t.empty()) {
      line.blank = true;
    } else if (t[0] == ';') {
      // a comment
    } else if (t[0] == '[') {
      const size_t close = t.rfind(']');
      if (close == std::string_view::npos) return;  // not a header; the platform skips it too
      line.kind = LineKind::Section;
      line.name = Trim(t.substr(1, close - 1));
    } else {
      const size_t eq = t.find('=');
      line.name = Trim(t.substr(0, eq));
      if (line.name.empty()) return;
      line.kind = LineKind::Key;
      if (eq != std::string_view::npos) {
        line.hasValue = true;
        line.value = Trim(t.substr(eq + 1));
      }
    }
  }

  std::string_view text_;
  size_t start_;
  size_t pos_;
};

// Only the first section of a name counts; later ones of the same name are invisible.
class FirstSection {
public:
  explicit FirstSection(std::string_view name) : name_(name) {}
  // Follows the headers; true while the lines seen belong to the section.
  bool Inside(const Line& line) {
    if (line.kind == LineKind::Section) {
      if (state_ == kInside) state_ = kPassed;
      else if (state_ == kBefore && SameName(line.name, name_)) state_ = kInside;
      return false;
    }
    return state_ == kInside;
  }
  bool Found() const { return state_ != kBefore; }

private:
  enum { kBefore, kInside, kPassed } state_ = kBefore;
  std::string_view name_;
};

// What a write needs to know about a file, gathered in one pass.
struct Survey {
  std::optional<Line> key;  // the first line of the key in its section
  std::optional<Line> lastFilled;  // the section's last non-blank line, the header at least
  std::optional<Line> lastLine;
  size_t crlf = 0, lf = 0;

  Survey(std::string_view text, std::string_view section, std::string_view keyName) {
    LineScanner lines(text);
    FirstSection wanted(section);
    for (Line line; lines.Next(line); lastLine = line) {
      if (line.next - line.end == 2) ++crlf;
      else if (line.next - line.end == 1) ++lf;
      const bool before = wanted.Found();
      const bool inside = wanted.Inside(line);
      if (!before && wanted.Found()) lastFilled = line;  // the header
      if (!inside) continue;
      if (!line.blank) lastFilled = line;
      if (!key && line.kind == LineKind::Key && SameName(line.name, keyName)) key = line;
    }
  }
  // The file's usual line break; LF for a file that has none.
  std::string LineBreak() const { return crlf > lf ? "\r\n" : "\n"; }
};

// The first value of a key, or nullopt.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
  LineScanner lines(text);
  FirstSection wanted(section);
  for (Line line; lines.Next(line);) {
    if (wanted.Inside(line) && line.kind == LineKind::Key && SameName(line.name, key))
      return line.hasValue ? std::optional(line.value) : std::nullopt;
  }
  return std::nullopt;
}

// The file as it is now; nullopt when it is missing, unreadable or too large.
std::optional<std::string> LoadForReading(const std::string& path) {
  auto bytes = ReadWholeFile(path, kMaxProfileBytes);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

[[noreturn]] void WriteFailed(const std::string& path) {
  throw EFileError(FormatMessage("Unable to write to %s", path));
}

// The file to be edited: empty when it does not exist yet. A file that exists but cannot be
// read whole is never overwritten.
std::string LoadForWriting(const std::string& path) {
  if (auto bytes = ReadWholeFile(path, kMaxProfileBytes))
    return std::string(bytes->begin(), bytes->end());
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 || errno != ENOENT) WriteFailed(path);
  return {};
}

void Store(const std::string& path, const std::string& text) {
  if (!WriteFileAtomically(path, text)) WriteFailed(path);
}

// Decimal with an optional sign, or up to 32 bits of hexadecimal after "0x" (wrapping into
// the negative range, so colours such as 0x80000010 read back as written).
std::optional<int> ParseInteger(std::string_view s) {
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    s.remove_prefix(std::min(s.find_first_not_of('0'), s.size()));  // leading zeros are no overflow
    if (s.size() > 8) return std::nullopt;
    uint32_t v = 0;
    for (char c : s) {
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return std::nullopt;
      v = v * 16 + uint32_t(d);
    }
    return int(v);
  }
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  const int64_t limit = negative ? -int64_t(INT_MIN) : INT_MAX;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > limit) return std::nullopt;
  }
  return int(negative ? -v : v);
}

// At most kMaxValueChars characters, never cutting a UTF-8 sequence.
std::string Capped(std::string_view s) {
  size_t chars = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && ++chars > kMaxValueChars)
      return std::string(s.substr(0, i));
  }
  return std::string(s);
}

// A value wrapped in matching quotes loses them, as the platform reads it.
std::string_view Unquoted(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// A found value as reads give it back: unquoted, ending at a NUL as C strings do, capped.
std::string ValueAsRead(std::string_view value) {
  const std::string_view unquoted = Unquoted(value);
  return Capped(unquoted.substr(0, unquoted.find('\0')));
}

// A value as written: on one line, and in quotes where a read would change it otherwise
// (blanks at its ends are trimmed, matching quotes around it taken off). The platform's own
// reads take the quotes off too.
std::string ValueAsWritten(std::string_view value) {
  const std::string text = OneLine(value);
  const bool endsInBlank = !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
  if (endsInBlank || Unquoted(text).size() != text.size()) return '"' + text + '"';
  return text;
}

}  // namespace

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
  const auto text = Load();
  if (!text) return defaultValue;
  const auto value = FindValue(*text, Trim(section), Trim(key));
  return value ? ValueAsRead(*value) : defaultValue;
}

int ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                             int defaultValue) const {
  const auto value = ParseInteger(ReadString(section, key, ""));
  return value ? *value : defaultValue;
}

bool ProfileFile::ReadBool(const std::string& section, const std::string& key,
                           bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> ProfileFile::ReadSection(const std::string& section) const {
  std::vector<std::string> keys;
  for (auto& [key, value] : ReadSectionValues(section)) keys.push_back(std::move(key));
  return keys;
}

std::vector<std::pair<std::string, std::optional<std::string>>> ProfileFile::ReadSectionValues(
    const std::string& section) const {
  std::vector<std::pair<std::string, std::optional<std::string>>> values;
  const auto text = Load();
  if (!text) return values;
  LineScanner lines(*text);
  FirstSection wanted(Trim(section));
  std::set<std::string> seen;  // only a key's first line counts, as for ReadString
  for (Line line; lines.Next(line);) {
    if (!wanted.Inside(line) || line.kind != LineKind::Key ||
        !seen.insert(AsciiLower(std::string(line.name))).second)
      continue;
    values.emplace_back(line.name, line.hasValue ? std::optional(ValueAsRead(line.value))
                                                 : std::nullopt);
  }
  return values;
}

std::vector<std::string> ProfileFile::ReadSections() const {
  std::vector<std::string> sections;
  const auto text = Load();
  if (!text) return sections;
  LineScanner lines(*text);
  std::set<std::string> seen;
  for (Line line; lines.Next(line);) {
    if (line.kind == LineKind::Section && seen.insert(AsciiLower(std::string(line.name))).second)
      sections.emplace_back(line.name);
  }
  return sections;
}

bool ProfileFile::SectionExists(const std::string& section) const {
  return !ReadSection(section).empty();
}

bool ProfileFile::ValueExists(const std::string& section, const std::string& key) const {
  const auto text = Load();
  if (!text) return false;
  LineScanner lines(*text);
  FirstSection wanted(Trim(section));
  for (Line line; lines.Next(line);)
    if (wanted.Inside(line) && line.kind == LineKind::Key && SameName(line.name, Trim(key)))
      return true;
  return false;
}

void ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
  const std::string sectionName = OneLine(Trim(section));
  const std::string keyName = OneLine(Trim(key));
  const std::string text = ValueAsWritten(value);
  std::string out = LoadToEdit();
  const Survey file(out, sectionName, keyName);
  const std::string eol = file.LineBreak();

  if (file.key) {
    out.replace(file.key->begin, file.key->end - file.key->begin,
                std::string(file.key->name) + "=" + text);
  } else if (file.lastFilled) {
    // After the section's last non-blank line, so blank lines stay between sections.
    std::string insert = keyName + "=" + text + eol;
    if (file.lastFilled->next == file.lastFilled->end) insert = eol + insert;
    out.insert(file.lastFilled->next, insert);
  } else {
    if (file.lastLine && file.lastLine->next == file.lastLine->end) out += eol;
    out += "[" + sectionName + "]" + eol + keyName + "=" + text + eol;
  }
  Save(std::move(out));
}

void ProfileFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void ProfileFile::EraseSection(const std::string& section) {
  const std::string text = LoadToEdit();
  const std::string_view name = Trim(section);
  // Every section of that name goes, so none of its keys resurface from a duplicate.
  LineScanner lines(text);
  std::string out = text.substr(0, lines.Start());
  bool erasing = false, erased = false;
  for (Line line; lines.Next(line);) {
    if (line.kind == LineKind::Section) erasing = SameName(line.name, name);
    if (erasing) erased = true;
    else out.append(text, line.begin, line.next - line.begin);
  }
  if (erased) Save(std::move(out));
}

void ProfileFile::DeleteKey(const std::string& section, const std::string& key) {
  const std::string text = LoadToEdit();
  LineScanner lines(text);
  FirstSection wanted(Trim(section));
  std::string out = text.substr(0, lines.Start());
  bool deleted = false;
  for (Line line; lines.Next(line);) {
    if (wanted.Inside(line) && line.kind == LineKind::Key && SameName(line.name, Trim(key)))
      deleted = true;
    else
      out.append(text, line.begin, line.next - line.begin);
  }
  if (deleted) Save(std::move(out));
}

// A file of a read-only program folder is read from its per-user copy once there is one, and
// every write goes to that copy: the first one edits the program folder's text.
std::optional<std::string> ProfileFile::Load() const {
  return update_ ? update_ : LoadForReading(ProgramFileToRead(path_));
}

std::string ProfileFile::LoadToEdit() const {
  return update_ ? *update_ : LoadForWriting(ProgramFileToRead(path_));
}

void ProfileFile::Save(std::string text) {
  if (!update_) return Store(ProgramFileToWrite(path_), text);
  *update_ = std::move(text);
  updateEdited_ = true;
}

void ProfileFile::BeginUpdate() {
  if (!update_) update_ = LoadForWriting(ProgramFileToRead(path_));
}

void ProfileFile::EndUpdate() {
  if (!update_) return;
  const std::string text = std::move(*update_);
  update_.reset();
  if (std::exchange(updateEdited_, false)) Store(ProgramFileToWrite(path_), text);
}

}  // namespace velk
