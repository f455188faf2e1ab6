#pragma once
// The changes the program makes to the files it shows (turn, move to the trash, delete, rename,
// copy and move to a folder),
// each made whole or not at all, and undone from what it recorded.
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "app/picture_load.h"
#include "image/jpeg_turn.h"

namespace velk {

// What a change did, so that it can be undone.
struct FileChange {
  enum class Kind { Trashed, Renamed, Turned, Copied, Moved };
  Kind kind = Kind::Renamed;
  std::string from;  // where the file was
  std::string to;    // where it is now: in the trash, under its new name, the copy or the move
  FileStamp stamp;   // of the file as the change left it
  Turn turn = Turn::Clockwise;  // what a turn did
};

// Moves the file to the desktop's trash (the freedesktop one a file manager restores from).
// Throws EVelkError when no trash takes it; the file then stays where it is.
FileChange MoveToTrash(const std::string& path);
// Removes the file for good. Throws EVelkError when it cannot.
void DeleteFile(const std::string& path);
// Gives the file a new name in its folder. Throws EVelkError, changing nothing, for an empty
// name, one with "/", or one another file already has.
FileChange RenameFile(const std::string& path, const std::string& newName);
// Turns a JPEG file for good without loss, rewritten beside itself and renamed over itself (a
// failure leaves it as it was). Throws EVelkError for other kinds of file.
FileChange TurnFile(const std::string& path, Turn turn);
// When a file of the name is already in the folder: replace it, keep both (the new one under
// the first free "name (2).ext"), or leave the file where it is.
enum class Clash { Replace, KeepBoth, Skip };
// The name a copy into folder gets under KeepBoth.
std::string FreeName(const std::string& folder, const std::string& name);
// Copies (or moves) the file into the folder, written beside its place and renamed into it, with
// its modification time; asks clash only when the name is taken there. Nothing when skipped.
std::optional<FileChange> CopyToFolder(const std::string& path, const std::string& folder,
                                       bool move,
                                       const std::function<Clash(const std::string&)>& clash);
// Puts the file back as it was. Throws EVelkError, changing nothing, when the file has changed
// or gone since, or its old place is taken.
void UndoChange(const FileChange& change);

// The last changes, newest last, at most kMostUndone of them.
class ChangeHistory {
public:
  static constexpr size_t kMostUndone = 20;
  void Add(FileChange change);
  bool Empty() const { return changes_.empty(); }
  // Takes the newest change off the history.
  FileChange TakeLast();

private:
  std::deque<FileChange> changes_;
};

}  // namespace velk
