#pragma once
// The file list: the regular files (hidden ones too) of one folder that match a mask, sorted
// without regard to case, with at most one entry selected.
//
// A folder is read off the window's thread and the list fills when the reading is done; asking
// for the entries or selecting one before that waits for it. The list then follows the folder
// on disk: files made, removed or renamed there appear or go without a re-read, and the
// selected file stays selected. Only when the selected file itself leaves the list does the
// selection move, to the entry that took its place (OnChange fires, as for a user's choice).
#include <QListView>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

namespace velk {

class TDirectoryListBox;
class FileListModel;
class FolderListing;
class FolderWatch;
struct FolderChanges;

class TFileListBox : public QListView {
  Q_OBJECT
public:
  explicit TFileListBox(QWidget* parent = nullptr);  // starts in the process's current folder
  ~TFileListBox() override;

  const std::string& Directory() const { return directory_; }
  // Re-reads the list when the folder changes. Throws EVelkError for a folder that does not
  // exist; the list stays as it was.
  void SetDirectory(const std::string& path);
  const std::string& Mask() const { return mask_; }
  // "*.jpg;*.bmp;"; re-reads the list when the mask changes.
  void SetMask(const std::string& mask);
  // Reads the folder again: nothing is selected afterwards and OnChange fires.
  void Reread();
  // Lists just these files, in this order, until the folder or the mask changes: the files a
  // file manager hands the program together. The folder becomes the first one's; files in
  // other folders are listed by their full path. Nothing is selected afterwards.
  void SetFiles(const std::vector<std::string>& paths);
  // The selected entry's place among the folder's own entries, also while the list holds
  // given files; -1 when none.
  int FolderIndex();
  // Takes in now what the program itself did to files of the folder (full paths: one made or
  // removed, one renamed), as the folder's own notice would a moment later.
  void EntryChanged(const std::string& path);
  void EntryRenamed(const std::string& from, const std::string& to);
  // Edits the selected entry's name in place, its name part selected; a new name given is
  // asked for through OnRenameAsked, and the entry keeps its name until the disk changes.
  void EditSelectedName();

  // The selected entry, -1 for none. Setting an index outside the list selects nothing.
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);
  // Full path of the selected entry, "" when nothing is selected.
  std::string FileName() const;
  // Full path of the entry at index, "" outside the list.
  std::string EntryPath(int index);
  // Selects a file by name (a folder part changes the folder first, through the linked
  // folder list if there is one). A name the mask does not list becomes the mask, so the
  // list shows just that file, selected. A name with wildcards becomes the mask.
  void SetFileName(const std::string& path);
  // The listed names, in list order.
  const std::vector<std::string>& Items();
  int count() { return static_cast<int>(Items().size()); }

signals:
  // The selection changed (by user or program), or the list was re-read.
  void OnChange(QObject* sender);
  // The selected file was renamed on disk and stays selected under its new name (full paths).
  void OnSelectedRenamed(const std::string& from, const std::string& to);
  void OnDblClick(QObject* sender);
  // The user gave the entry at path a new name in place.
  void OnRenameAsked(const std::string& path, const std::string& newName);

protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  friend class TDirectoryListBox;  // keeps dirList_ in step with its link

  // The full path of a name in the list's folder (a listed full path stays as it is).
  std::string PathOf(const std::string& name) const;
  // The other way: a file of the folder by its name, one elsewhere by its full path.
  std::string EntryName(const std::string& path) const;
  // Starts reading the folder afresh: the list is empty until the entries are in.
  void StartReading();
  // Waits for a read under way, so that the entries are the folder's.
  void Settle();
  void FolderChanged(const FolderChanges& changes);
  // After the entries changed: the selected file (`selected`, now perhaps named `now`) stays
  // selected; when it is gone, the entry in its place is selected and OnChange fires.
  void KeepSelection(const std::string& selected, const std::string& now);
  void SelectRow(int row);  // quietly
  int Row(const std::string& name) const;  // exact name, -1 when not listed
  int Place(const std::string& name) const;  // where the name is or would be sorted in
  void SelectionChanged();
  int FindName(const std::string& name);

  std::string directory_;
  bool givenFiles_ = false;  // the list holds the files SetFiles gave, not the folder's
  std::string mask_ = "*.*";
  FileListModel* model_;
  int index_ = -1;
  bool quiet_ = false;  // the selection model's signals are not choices while entries change
  std::unique_ptr<FolderListing> listing_;
  std::unique_ptr<FolderWatch> watch_;
  QPointer<TDirectoryListBox> dirList_;
};

}  // namespace velk
