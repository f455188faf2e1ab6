#pragma once
// The dialogs service on Qt's message boxes, file dialogs and folder picker.
#include <QString>

#include "platform/dialogs.h"

namespace velk {

class QtDialogs : public Dialogs {
public:
  MessageAnswer Message(MessageKind kind, const std::string& text, MessageButtons buttons) override;
  std::vector<std::string> OpenFiles(const FileBoxRequest& request) override;
  std::string PickFolder(const std::string& title, const std::string& initialDir) override;
};

// "Skins|*.bmp|All Files|*.*" -> "Skins (*.bmp);;All Files (*.*)"
QString QtFileFilter(const std::string& windowsFilter);

}  // namespace velk
