#include "app/file_changes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "image/jpeg_image.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"

namespace velk {

namespace {

std::string NameOf(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

// Renames without ever replacing a file that is already at the new place.
void RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno == EEXIST)
    throw EVelkError("A file named '" + NameOf(to) + "' is already there");
  throw EVelkError("Cannot rename '" + NameOf(from) + "': " + std::strerror(errno));
}

}  // namespace

FileChange MoveToTrash(const std::string& path) {
  // The home trash lives in the data folder; without that folder Qt would put the file into a
  // trash below the working folder, where no file manager looks.
  QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
  QString inTrash;
  if (!QFile::moveToTrash(QString::fromStdString(path), &inTrash))
    throw EVelkError("'" + NameOf(path) + "' cannot be moved to the trash; it was left as it is");
  const std::string to = QFileInfo(inTrash).absoluteFilePath().toStdString();
  return {FileChange::Kind::Trashed, path, to, StampOf(to)};
}

void DeleteFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0)
    throw EVelkError("Cannot delete '" + NameOf(path) + "': " + std::strerror(errno));
}

FileChange RenameFile(const std::string& path, const std::string& newName) {
  if (newName.empty()) throw EVelkError("A file needs a name");
  if (newName.find('/') != std::string::npos)
    throw EVelkError("A file name cannot hold \"/\"");
  const std::string to =
      QFileInfo(QString::fromStdString(path)).dir().filePath(QString::fromStdString(newName))
          .toStdString();
  RenameWithoutReplacing(path, to);
  return {FileChange::Kind::Renamed, path, to, StampOf(to)};
}

FileChange TurnFile(const std::string& path, Turn turn) {
  if (KindOf(path) != FileKind::Jpeg)
    throw EVelkError("Only JPEG files can be turned for good; '" + NameOf(path) +
                     "' was left as it is");
  const std::vector<uint8_t> turned = TurnJpeg(ReadJpegFile(path), turn);
  if (!WriteFileAtomically(path, turned))
    throw EVelkError("Cannot write '" + NameOf(path) + "'; it was left as it is");
  return {FileChange::Kind::Turned, path, path, StampOf(path), turn};
}

void UndoChange(const FileChange& change) {
  if (StampOf(change.to) != change.stamp)
    throw EVelkError("'" + NameOf(change.to) + "' has changed since; it was left as it is");
  if (change.kind == FileChange::Kind::Turned) {
    TurnFile(change.to, Inverse(change.turn));
    return;
  }
  RenameWithoutReplacing(change.to, change.from);
  if (change.kind == FileChange::Kind::Trashed) {
    // The trash's record of it: ".../Trash/files/NAME" has ".../Trash/info/NAME.trashinfo".
    const QFileInfo inTrash(QString::fromStdString(change.to));
    QFile::remove(inTrash.dir().absoluteFilePath("../info/" + inTrash.fileName() + ".trashinfo"));
  }
}

void ChangeHistory::Add(FileChange change) {
  changes_.push_back(std::move(change));
  if (changes_.size() > kMostUndone) changes_.pop_front();
}

FileChange ChangeHistory::TakeLast() {
  FileChange last = std::move(changes_.back());
  changes_.pop_back();
  return last;
}

}  // namespace velk
