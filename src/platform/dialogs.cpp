#include "platform/dialogs.h"

#include <cstdio>
#include <new>

#include "platform/errors.h"

namespace velk {

namespace {
std::shared_ptr<Dialogs>& Installed() {
  static std::shared_ptr<Dialogs> dialogs = std::make_shared<ScriptedDialogs>();
  return dialogs;
}
}  // namespace

Dialogs& AppDialogs() { return *Installed(); }

std::shared_ptr<Dialogs> InstallDialogs(std::shared_ptr<Dialogs> dialogs) {
  auto previous = Installed();
  Installed() = dialogs ? std::move(dialogs) : std::make_shared<ScriptedDialogs>();
  return previous;
}

MessageAnswer ScriptedDialogs::Message(MessageKind kind, const std::string& text,
                                       MessageButtons buttons) {
  messages.push_back({kind, text, buttons});
  if (answers.empty()) {
    return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel
               ? MessageAnswer::Ok
               : MessageAnswer::Yes;
  }
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::vector<std::string> ScriptedDialogs::OpenFiles(const FileBoxRequest& request) {
  fileBoxes.push_back(request);
  if (fileAnswers.empty()) return {};
  auto files = fileAnswers.front();
  fileAnswers.pop_front();
  return files;
}

std::string ScriptedDialogs::PickFolder(const std::string&, const std::string&) {
  if (folderAnswers.empty()) return {};
  auto folder = folderAnswers.front();
  folderAnswers.pop_front();
  return folder;
}

std::vector<std::string> ScriptedDialogs::Texts() const {
  std::vector<std::string> texts;
  for (const auto& shown : messages) texts.push_back(shown.text);
  return texts;
}

ScopedScriptedDialogs::ScopedScriptedDialogs()
    : script_(std::make_shared<ScriptedDialogs>()), previous_(InstallDialogs(script_)) {}

ScopedScriptedDialogs::~ScopedScriptedDialogs() { InstallDialogs(previous_); }

std::string MessageOf(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error)) return "Out of memory";
  return error.what();
}

std::string FormatMessage(const char* pattern, const std::string& argument) {
  std::string result;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      result += argument;
      ++p;
    } else {
      result += *p;
    }
  }
  return result;
}

}  // namespace velk
