#pragma once
// The one service through which the program shows modal message boxes, file boxes and the
// folder picker. The program installs Qt's dialogs; tests install ScriptedDialogs.
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace velk {

enum class MessageKind { Error, Warning, Information, Confirmation };
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct FileBoxRequest {
  std::string title;
  std::string filter;  // Windows form: "Skins|*.bmp|All Files|*.*"
  std::string initialDir;
  bool multiSelect = false;
};

class Dialogs {
public:
  virtual ~Dialogs() = default;
  virtual MessageAnswer Message(MessageKind kind, const std::string& text,
                                MessageButtons buttons) = 0;
  // The chosen files; empty when the box was cancelled.
  virtual std::vector<std::string> OpenFiles(const FileBoxRequest& request) = 0;
  // The chosen folder; empty when cancelled.
  virtual std::string PickFolder(const std::string& title, const std::string& initialDir) = 0;

  // Shortcuts used throughout the program.
  void ShowError(const std::string& text) { Message(MessageKind::Error, text, MessageButtons::Ok); }
  void ShowInformation(const std::string& text) {
    Message(MessageKind::Information, text, MessageButtons::Ok);
  }
  bool Confirm(const std::string& text) {
    return Message(MessageKind::Confirmation, text, MessageButtons::YesNo) == MessageAnswer::Yes;
  }
};

// The installed service. Before anything is installed, a ScriptedDialogs that answers every
// question with its defaults stands in, so code without a user interface never blocks.
Dialogs& AppDialogs();
// Installs a service and returns the previous one.
std::shared_ptr<Dialogs> InstallDialogs(std::shared_ptr<Dialogs> dialogs);

// Records every message and answers from queues; when a queue runs dry it answers Yes/Ok,
// no files and no folder.
class ScriptedDialogs : public Dialogs {
public:
  struct Shown {
    MessageKind kind;
    std::string text;
    MessageButtons buttons;
  };

  MessageAnswer Message(MessageKind kind, const std::string& text,
                        MessageButtons buttons) override;
  std::vector<std::string> OpenFiles(const FileBoxRequest& request) override;
  std::string PickFolder(const std::string& title, const std::string& initialDir) override;

  std::vector<Shown> messages;
  std::vector<FileBoxRequest> fileBoxes;
  std::deque<MessageAnswer> answers;
  std::deque<std::vector<std::string>> fileAnswers;
  std::deque<std::string> folderAnswers;

  std::vector<std::string> Texts() const;
};

// Installs a fresh ScriptedDialogs for the life of the object and restores the previous service.
class ScopedScriptedDialogs {
public:
  ScopedScriptedDialogs();
  ~ScopedScriptedDialogs();
  ScopedScriptedDialogs(const ScopedScriptedDialogs&) = delete;
  ScopedScriptedDialogs& operator=(const ScopedScriptedDialogs&) = delete;
  ScriptedDialogs* operator->() const { return script_.get(); }
  ScriptedDialogs& operator*() const { return *script_; }

private:
  std::shared_ptr<ScriptedDialogs> script_;
  std::shared_ptr<Dialogs> previous_;
};

}  // namespace velk
