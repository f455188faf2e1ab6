#pragma once
// Writes a launcher for a program: a freedesktop desktop entry ("Velk's Jpeg Viewer.desktop")
// made from the properties below, and finds the user's programs-menu and desktop folders.
#include <cstdint>
#include <string>

#include "platform/errors.h"

namespace velk {

// "Unable to create .lnk file": the shortcut could not be written.
class EShortcutError : public EVelkError {
public:
  using EVelkError::EVelkError;
};

enum class TShowCmd { scShowMaximized, scShowMinimized, scShowNormal };

// The folder ids GetSpecialFolder understands.
inline constexpr int CSIDL_PROGRAMS = 2;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 16;

class TShortcutLink {
public:
  const std::string& ShortcutFile() const { return shortcutFile_; }
  void SetShortcutFile(const std::string& path) { shortcutFile_ = path; }
  const std::string& Target() const { return target_; }
  void SetTarget(const std::string& path) { target_ = path; }
  const std::string& WorkingDir() const { return workingDir_; }
  void SetWorkingDir(const std::string& path) { workingDir_ = path; }
  const std::string& Description() const { return description_; }
  void SetDescription(const std::string& text) { description_ = text; }
  const std::string& Arguments() const { return arguments_; }
  void SetArguments(const std::string& text) { arguments_ = text; }
  const std::string& IconLocation() const { return iconLocation_; }
  void SetIconLocation(const std::string& path) { iconLocation_ = path; }
  uint16_t IconNumber() const { return iconNumber_; }
  void SetIconNumber(uint16_t index) { iconNumber_ = index; }
  // The launcher's name; when empty, the file's name without its extension, as a shell
  // shortcut's is (a launcher named by its desktop id gets its name here).
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  // The file types the launcher opens, as a MimeType list ("image/jpeg;..."); may be empty.
  const std::string& MimeTypes() const { return mimeTypes_; }
  void SetMimeTypes(const std::string& types) { mimeTypes_ = types; }

  // The key that starts the shortcut together with Ctrl and Alt; " " means none.
  std::string HotKey() const;
  void SetHotKey(const std::string& key);
  TShowCmd ShowCmd() const;
  void SetShowCmd(TShowCmd command);
  // The stored show-window value: 3 maximised, 7 minimised, 9 normal.
  int ShowCmdValue() const { return showCmd_; }

  // Writes ShortcutFile (creating its folder when missing) and makes it executable.
  // Throws EShortcutError "Unable to create .lnk file" on failure.
  void SaveLink() const;

  // The folders without a trailing "/"; a folder that cannot be found leaves path unchanged.
  void GetProgramsFolder(std::string& path) const { GetSpecialFolder(CSIDL_PROGRAMS, path); }
  void GetDesktopFolder(std::string& path) const { GetSpecialFolder(CSIDL_DESKTOPDIRECTORY, path); }
  void GetSpecialFolder(int folderId, std::string& path) const;

  // The desktop entry SaveLink writes.
  std::string DesktopEntryText() const;

private:
  std::string shortcutFile_, target_, workingDir_, description_, arguments_, iconLocation_,
      name_, mimeTypes_;
  uint16_t iconNumber_ = 0;
  char32_t hotKey_ = 0;
  int showCmd_ = 9;
};

}  // namespace velk
