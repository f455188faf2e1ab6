#pragma once
// What a user does to the shown file from the program: turns or mirrors it for good, moves it
// to the trash, deletes it for good, renames it in the file list, copies it, shows it in the
// file manager, and undoes the last of these changes. Each is an action with a key (on the
// main window; Delete also in full screen) and an entry in the context menu, and says in the
// status line what it did.
#include <QObject>
#include <vector>

#include "app/file_changes.h"

class QAction;

namespace velk {

class LanguageTexts;
class TMainform;

class FileCommands : public QObject {
  Q_OBJECT
public:
  explicit FileCommands(TMainform& mainform);

  // In the context menu's order.
  const std::vector<QAction*>& Actions() const { return actions_; }
  // The actions' names and the status line's texts in the current language.
  void Translate(const LanguageTexts& text);
  // On or off with a file selected.
  void UpdateEnabled();

  void TurnShown(Turn turn);  // Ctrl+R, Ctrl+Shift+R, Ctrl+Shift+M, Ctrl+Shift+U
  void MoveToTrash();    // Delete
  void DeleteForGood();  // Shift+Delete, after a question
  void Rename();         // F2: edited in place in the file list
  void Copy();           // Ctrl+C: the picture and the file, for pasting either
  void ShowInFileManager();
  void CopyToFolder();   // F7: a recent folder or another
  void MoveToFolder();   // F8
  // Copies or moves the file into the folder, asking what to do when its name is taken.
  void SendTo(const std::string& folder, bool move);
  void Undo();           // Ctrl+Z

private:
  void RenameTo(const std::string& path, const std::string& newName);
  void ChooseFolder(bool move);
  // Says what was done in the status line; fails with the error box, changing nothing.
  template <typename Step>
  void Run(Step step);
  QString Name(const std::string& path) const;

  TMainform& main_;
  ChangeHistory history_;
  std::vector<QAction*> actions_;
  QAction *clockwise_, *anticlockwise_, *mirrorAcross_, *mirrorDown_;
  QAction *trash_, *delete_, *rename_, *copy_, *show_, *copyTo_, *moveTo_, *undo_;
  // Status texts: %1 a file's name, %2 its new one.
  QString turnedText_ = "%1 turned for good. Ctrl+Z turns it back.";
  QString trashedText_ = "%1 moved to the trash. Ctrl+Z puts it back.";
  QString deletedText_ = "%1 deleted for good.";
  QString renamedText_ = "%1 renamed to %2. Ctrl+Z renames it back.";
  QString copiedText_ = "%1 copied.";
  QString undoneText_ = "Undone: %1 is back.";
  QString nothingText_ = "Nothing to undo.";
  QString askDeleteText_ = "Delete %1 for good? This cannot be undone.";
  QString copiedToText_ = "%1 copied to %2. Ctrl+Z removes the copy.";
  QString movedToText_ = "%1 moved to %2. Ctrl+Z moves it back.";
  QString otherFolderText_ = "Other folder...";
  QString clashText_ = "%1 is already in %2. Yes replaces it, No keeps both (the new one as %3), "
                       "Cancel leaves it where it is.";
};

}  // namespace velk
