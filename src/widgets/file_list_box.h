#pragma once
// The file list: the regular files (hidden ones too) of one folder that match a mask, sorted
// without regard to case, with at most one entry selected.
#include <QListWidget>
#include <QPointer>
#include <string>
#include <vector>

namespace velk {

class TDirectoryListBox;

class TFileListBox : public QListWidget {
  Q_OBJECT
public:
  explicit TFileListBox(QWidget* parent = nullptr);  // starts in the process's current folder

  const std::string& Directory() const { return directory_; }
  // Re-reads the list when the folder changes. Throws EVelkError for a folder that does not
  // exist; the list stays as it was.
  void SetDirectory(const std::string& path);
  const std::string& Mask() const { return mask_; }
  // "*.jpg;*.bmp;"; re-reads the list when the mask changes.
  void SetMask(const std::string& mask);
  // Reads the folder again: nothing is selected afterwards and OnChange fires.
  void Reread();

  // The selected entry, -1 for none. Setting an index outside the list selects nothing.
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);
  // Full path of the selected entry, "" when nothing is selected.
  std::string FileName() const;
  // Selects a file by name (a folder part changes the folder first, through the linked
  // folder list if there is one). A name the mask does not list becomes the mask, so the
  // list shows just that file, selected. A name with wildcards becomes the mask.
  void SetFileName(const std::string& path);
  // The listed names, in list order.
  const std::vector<std::string>& Items() const { return names_; }

signals:
  // The selection changed (by user or program), or the list was re-read.
  void OnChange(QObject* sender);
  void OnDblClick(QObject* sender);

protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  friend class TDirectoryListBox;  // keeps dirList_ in step with its link

  void SelectionChanged();
  int FindName(const QString& name) const;

  std::string directory_;
  std::string mask_ = "*.*";
  std::vector<std::string> names_;
  int index_ = -1;
  bool rereading_ = false;
  QPointer<TDirectoryListBox> dirList_;
};

}  // namespace velk
