#include "platform/program_folder.h"

#include <QCoreApplication>

namespace velk {

std::string ProgramFolder() {
  return QCoreApplication::applicationDirPath().toStdString() + "/";
}

std::string ProgramPath() { return QCoreApplication::applicationFilePath().toStdString(); }

}  // namespace velk
