#include "app/file_changes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
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

// The whole file, for a copy; throws EVelkError when it cannot be read.
std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  if (!in.eof() && in.fail())
    throw EVelkError("Cannot read '" + NameOf(path) + "': " + std::strerror(errno));
  return bytes;
}

// A whole new file at `to` with the file's bytes and modification time, written beside its
// place and renamed into it (replacing what is there).
void CopyWhole(const std::string& from, const std::string& to) {
  if (!WriteFileAtomically(to, ReadAll(from)))
    throw EVelkError("Cannot write '" + NameOf(to) + "'; nothing was changed");
  struct stat source {};
  if (::stat(from.c_str(), &source) != 0) return;
  const timespec times[2] = {source.st_atim, source.st_mtim};
  ::utimensat(AT_FDCWD, to.c_str(), times, 0);
}

// The same file with the same contents as when a change left it. Its change time does not
// count: putting a file back from the trash, which a later undo does, changes only that.
bool Unchanged(const std::string& path, const FileStamp& then) {
  const FileStamp now = StampOf(path);
  return now.device == then.device && now.inode == then.inode && now.size == then.size &&
         now.modifiedNs == then.modifiedNs;
}

}  // namespace

std::string FreeName(const std::string& folder, const std::string& name) {
  const QFileInfo file(QString::fromStdString(name));
  const QString base = file.completeBaseName(), suffix = file.suffix();
  for (int n = 2;; ++n) {
    const QString candidate =
        QString("%1 (%2)%3").arg(base).arg(n).arg(suffix.isEmpty() ? "" : "." + suffix);
    if (!QFileInfo::exists(QDir(QString::fromStdString(folder)).filePath(candidate)))
      return candidate.toStdString();
  }
}

std::optional<FileChange> CopyToFolder(const std::string& path, const std::string& folder,
                                       bool move,
                                       const std::function<Clash(const std::string&)>& clash) {
  const QDir target(QString::fromStdString(folder));
  std::string name = NameOf(path);
  std::string to = target.filePath(QString::fromStdString(name)).toStdString();
  if (to == path) return std::nullopt;  // already there
  bool replace = false;
  if (QFileInfo::exists(QString::fromStdString(to))) {
    switch (clash(name)) {
      case Clash::Skip: return std::nullopt;
      case Clash::Replace: replace = true; break;
      case Clash::KeepBoth:
        name = FreeName(folder, name);
        to = target.filePath(QString::fromStdString(name)).toStdString();
        break;
    }
  }
  // Within one file system a move is a rename; otherwise, as a copy, a whole new file first.
  if (move && !replace && ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, to.c_str(),
                                      RENAME_NOREPLACE) == 0)
    return FileChange{FileChange::Kind::Moved, path, to, StampOf(to)};
  if (move && replace && ::rename(path.c_str(), to.c_str()) == 0)
    return FileChange{FileChange::Kind::Moved, path, to, StampOf(to)};
  CopyWhole(path, to);
  if (move) DeleteFile(path);
  return FileChange{move ? FileChange::Kind::Moved : FileChange::Kind::Copied, path, to,
                    StampOf(to)};
}

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
  if (!Unchanged(change.to, change.stamp))
    throw EVelkError("'" + NameOf(change.to) + "' has changed since; it was left as it is");
  if (change.kind == FileChange::Kind::Turned) {
    TurnFile(change.to, Inverse(change.turn));
    return;
  }
  if (change.kind == FileChange::Kind::Copied) {
    DeleteFile(change.to);
    return;
  }
  if (change.kind == FileChange::Kind::Moved) {
    if (::renameat2(AT_FDCWD, change.to.c_str(), AT_FDCWD, change.from.c_str(),
                    RENAME_NOREPLACE) == 0)
      return;
    if (errno != EXDEV) RenameWithoutReplacing(change.to, change.from);  // says why it cannot
    // Moved to another file system: copied back whole, then removed there.
    if (QFileInfo::exists(QString::fromStdString(change.from)))
      throw EVelkError("A file named '" + NameOf(change.from) + "' is already there");
    CopyWhole(change.to, change.from);
    DeleteFile(change.to);
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
