#include "platform/profile_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/atomic_file.h"
#include "platform/errors.h"

namespace velk {
namespace {

// Larger files are not profile files; they read as missing and refuse writes.
constexpr uint64_t kMaxProfileBytes = uint64_t(16) << 20;
// What the platform's 1024-character buffer holds.
constexpr size_t kMaxValueChars = 1023;
constexpr size_t kNone = size_t(-1);

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

// One snapshot of a profile file, split into lines that point into its text.
class ProfileText {
public:
  explicit ProfileText(std::string text) : text_(std::move(text)) { Split(); }
  ProfileText(const ProfileText&) = delete;
  ProfileText& operator=(const ProfileText&) = delete;

  const std::string& Text() const { return text_; }
  const std::vector<Line>& Lines() const { return lines_; }

  // Header index of the first section called name, or kNone.
  size_t FindSection(std::string_view name, size_t from = 0) const {
    for (size_t i = from; i < lines_.size(); ++i)
      if (lines_[i].kind == LineKind::Section && SameName(lines_[i].name, name)) return i;
    return kNone;
  }
  // One past the last line of the section whose header is at index header.
  size_t SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::Section) ++i;
    return i;
  }
  const Line* FindKey(std::string_view section, std::string_view key) const {
    const size_t header = FindSection(section);
    if (header == kNone) return nullptr;
    for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
      if (lines_[i].kind == LineKind::Key && SameName(lines_[i].name, key)) return &lines_[i];
    return nullptr;
  }
  // The file's usual line break; LF for a file that has none.
  std::string LineBreak() const { return crlf_ > lf_ ? "\r\n" : "\n"; }
  // Whether the last line lacks a line break.
  bool EndsOpen() const { return !lines_.empty() && lines_.back().next == lines_.back().end; }

private:
  void Split() {
    size_t pos = text_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos < text_.size()) {
      Line line;
      line.begin = pos;
      const size_t nl = text_.find('\n', pos);
      if (nl == std::string::npos) {
        line.end = line.next = text_.size();
      } else {
        line.next = nl + 1;
        line.end = (nl > pos && text_[nl - 1] == '\r') ? nl - 1 : nl;
        ++(line.end < nl ? crlf_ : lf_);
      }
      Classify(line);
      lines_.push_back(line);
      pos = line.next;
    }
  }

  void Classify(Line& line) const {
    const std::string_view t = Trim(std::string_view(text_).substr(line.begin, line.end - line.begin));
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

  std::string text_;
  std::vector<Line> lines_;
  size_t crlf_ = 0, lf_ = 0;
};

// The file as it is now; nullopt when it is missing, unreadable or too large.
std::optional<ProfileText> LoadForReading(const std::string& path) {
  auto bytes = ReadWholeFile(path, kMaxProfileBytes);
  if (!bytes) return std::nullopt;
  return std::optional<ProfileText>(std::in_place, std::string(bytes->begin(), bytes->end()));
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

}  // namespace

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
  const auto file = LoadForReading(path_);
  if (!file) return defaultValue;
  const Line* line = file->FindKey(Trim(section), Trim(key));
  if (!line || !line->hasValue) return defaultValue;
  return Capped(Unquoted(line->value));
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
  const auto file = LoadForReading(path_);
  if (!file) return keys;
  const size_t header = file->FindSection(Trim(section));
  if (header == kNone) return keys;
  const auto& lines = file->Lines();
  for (size_t i = header + 1, end = file->SectionEnd(header); i < end; ++i) {
    if (lines[i].kind != LineKind::Key) continue;
    bool seen = false;
    for (const auto& k : keys) seen = seen || SameName(k, lines[i].name);
    if (!seen) keys.emplace_back(lines[i].name);
  }
  return keys;
}

std::vector<std::string> ProfileFile::ReadSections() const {
  std::vector<std::string> sections;
  const auto file = LoadForReading(path_);
  if (!file) return sections;
  for (size_t i = 0; i < file->Lines().size(); ++i) {
    const Line& line = file->Lines()[i];
    if (line.kind == LineKind::Section && file->FindSection(line.name) == i)
      sections.emplace_back(line.name);
  }
  return sections;
}

bool ProfileFile::SectionExists(const std::string& section) const {
  return !ReadSection(section).empty();
}

bool ProfileFile::ValueExists(const std::string& section, const std::string& key) const {
  const auto file = LoadForReading(path_);
  return file && file->FindKey(Trim(section), Trim(key)) != nullptr;
}

void ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
  const std::string sectionName = OneLine(Trim(section));
  const std::string keyName = OneLine(Trim(key));
  const std::string text = OneLine(value);
  const ProfileText file(LoadForWriting(path_));
  const std::string eol = file.LineBreak();
  std::string out = file.Text();

  if (const Line* line = file.FindKey(sectionName, keyName)) {
    out.replace(line->begin, line->end - line->begin, std::string(line->name) + "=" + text);
  } else if (const size_t header = file.FindSection(sectionName); header != kNone) {
    // After the section's last non-blank line, so blank lines stay between sections.
    size_t last = file.SectionEnd(header) - 1;
    while (last > header && file.Lines()[last].blank) --last;
    const Line& after = file.Lines()[last];
    std::string insert = keyName + "=" + text + eol;
    if (after.next == after.end) insert = eol + insert;
    out.insert(after.next, insert);
  } else {
    if (file.EndsOpen()) out += eol;
    out += "[" + sectionName + "]" + eol + keyName + "=" + text + eol;
  }
  Store(path_, out);
}

void ProfileFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void ProfileFile::EraseSection(const std::string& section) {
  const ProfileText file(LoadForWriting(path_));
  const std::string_view name = Trim(section);
  const auto& lines = file.Lines();
  // Every section of that name goes, so none of its keys resurface from a duplicate.
  std::string out;
  size_t copied = 0;
  bool erased = false;
  for (size_t h = file.FindSection(name); h != kNone;) {
    const size_t end = file.SectionEnd(h);
    out.append(file.Text(), copied, lines[h].begin - copied);
    copied = end < lines.size() ? lines[end].begin : file.Text().size();
    erased = true;
    h = file.FindSection(name, end);
  }
  if (!erased) return;
  out.append(file.Text(), copied);
  Store(path_, out);
}

void ProfileFile::DeleteKey(const std::string& section, const std::string& key) {
  const ProfileText file(LoadForWriting(path_));
  const size_t header = file.FindSection(Trim(section));
  if (header == kNone) return;
  const auto& lines = file.Lines();
  std::string out;
  size_t copied = 0;
  bool deleted = false;
  for (size_t i = header + 1, end = file.SectionEnd(header); i < end; ++i) {
    if (lines[i].kind != LineKind::Key || !SameName(lines[i].name, Trim(key))) continue;
    out.append(file.Text(), copied, lines[i].begin - copied);
    copied = lines[i].next;
    deleted = true;
  }
  if (!deleted) return;
  out.append(file.Text(), copied);
  Store(path_, out);
}

}  // namespace velk
