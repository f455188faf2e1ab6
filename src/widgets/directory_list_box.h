#pragma once
// The folder list: the path from the root down to the current folder (open folders, each one
// indented further), then the current folder's subfolders (closed folders), hidden ones too.
// Double-click or Enter opens an entry.
#include <QListWidget>
#include <QPointer>
#include <string>

namespace velk {

class TFileListBox;

class TDirectoryListBox : public QListWidget {
  Q_OBJECT
public:
  // Item data: the entry's full path and its indentation level (the root is level 0).
  enum Role { PathRole = Qt::UserRole + 1, LevelRole };

  explicit TDirectoryListBox(QWidget* parent = nullptr);  // starts in the current folder
  ~TDirectoryListBox() override;

  const std::string& Directory() const { return directory_; }
  // Absolute or relative to the current directory. Throws EVelkError for a folder that does not
  // exist; the directory stays as it was. OnChange fires when the directory changes.
  void SetDirectory(const std::string& path);
  // Reads the subfolders again.
  void Reread();
  // Opens the entry at `index`, as a double-click on it does.
  void OpenItem(int index);
  // The full path of the entry at `index` ("" outside the list).
  std::string ItemPath(int index) const;

  TFileListBox* FileList() const { return fileList_; }
  // The linked file list's directory follows this one from now on.
  void SetFileList(TFileListBox* list);

signals:
  void OnChange(QObject* sender);

protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  std::string directory_;
  QPointer<TFileListBox> fileList_;
};

}  // namespace velk
