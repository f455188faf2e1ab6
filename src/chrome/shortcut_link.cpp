#include "chrome/shortcut_link.h"

#include <sys/stat.h>

#include <QChar>
#include <QDir>
#include <QString>

#include "chrome/xdg_folders.h"
#include "platform/atomic_file.h"
#include "platform/file_path.h"

namespace velk {
namespace {

constexpr const char* kSaveFailed = "Unable to create .lnk file";

// A desktop-entry string value: backslash and control characters escaped, and blanks at
// either end written as \s so that readers, which trim around "=", keep them.
std::string EscapeValue(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' && (first == std::string::npos || i < first || i > last)) out += "\\s";
    else if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

// The program path as the first word of an Exec line: quoted when it holds a reserved
// character, with the characters special inside quotes escaped; "%" doubled.
std::string ExecProgram(const std::string& path) {
  const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string body;
  for (const char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') body += '\\';
    body += c;
    if (c == '%') body += '%';
  }
  if (path.find_first_of(reserved) == std::string::npos && !path.empty()) return body;
  return "\"" + body + "\"";
}

std::string ToUtf8(char32_t c) { return QString::fromUcs4(&c, 1).toStdString(); }

}  // namespace

std::string TShortcutLink::HotKey() const { return ToUtf8(hotKey_ == 0 ? U' ' : hotKey_); }

void TShortcutLink::SetHotKey(const std::string& key) {
  const QList<uint> chars = QString::fromStdString(key).toUcs4();
  char32_t c = chars.isEmpty() ? U' ' : char32_t(QChar::toUpper(chars.front()));
  hotKey_ = c < 32 ? U' ' : c;
}

TShowCmd TShortcutLink::ShowCmd() const {
  if (showCmd_ == 3) return TShowCmd::scShowMaximized;
  if (showCmd_ == 7) return TShowCmd::scShowMinimized;
  return TShowCmd::scShowNormal;
}

void TShortcutLink::SetShowCmd(TShowCmd command) {
  showCmd_ = command == TShowCmd::scShowMaximized ? 3
             : command == TShowCmd::scShowMinimized ? 7
                                                    : 9;
}

std::string TShortcutLink::DesktopEntryText() const {
  // The launcher's name is the file's name without its extension, as a shell shortcut's is.
  std::string name = name_.empty() ? ExtractFileName(shortcutFile_) : name_;
  if (const size_t dot = name.rfind('.'); name_.empty() && dot != std::string::npos && dot > 0)
    name.resize(dot);
  std::string exec = ExecProgram(target_);
  if (!arguments_.empty()) exec += " " + arguments_;  // already a command line

  std::string text = "[Desktop Entry]\nType=Application\n";
  text += "Name=" + EscapeValue(name) + "\n";
  if (!description_.empty()) text += "Comment=" + EscapeValue(description_) + "\n";
  text += "Exec=" + EscapeValue(exec) + "\n";
  if (!workingDir_.empty()) text += "Path=" + EscapeValue(workingDir_) + "\n";
  if (!iconLocation_.empty()) text += "Icon=" + EscapeValue(iconLocation_) + "\n";
  if (!mimeTypes_.empty()) text += "MimeType=" + EscapeValue(mimeTypes_) + "\n";
  if (iconNumber_ != 0) text += "X-Velk-IconNumber=" + std::to_string(iconNumber_) + "\n";
  if (hotKey_ > 32) text += "X-Velk-HotKey=Ctrl+Alt+" + EscapeValue(ToUtf8(hotKey_)) + "\n";
  text += "X-Velk-ShowCmd=" + std::to_string(showCmd_) + "\n";
  return text;
}

void TShortcutLink::SaveLink() const {
  const std::string folder = ExtractFilePath(shortcutFile_);
  if (ExtractFileName(shortcutFile_).empty() ||
      (!folder.empty() && !QDir().mkpath(QString::fromStdString(folder))))
    throw EShortcutError(kSaveFailed);
  if (!WriteFileAtomically(shortcutFile_, DesktopEntryText())) throw EShortcutError(kSaveFailed);
  // Desktops launch only entries marked executable: give execute to whoever may read.
  struct stat info {};
  if (::stat(shortcutFile_.c_str(), &info) != 0 ||
      ::chmod(shortcutFile_.c_str(), info.st_mode | ((info.st_mode & 0444) >> 2)) != 0)
    throw EShortcutError(kSaveFailed);
}

void TShortcutLink::GetSpecialFolder(int folderId, std::string& path) const {
  std::string folder;
  if (folderId == CSIDL_PROGRAMS) folder = ProgramsFolder();
  else if (folderId == CSIDL_DESKTOPDIRECTORY) folder = DesktopFolder();
  if (!folder.empty()) path = folder;
}

}  // namespace velk
