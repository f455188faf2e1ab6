#pragma once
// The filter box: entries from a filter text "Description|mask|Description|mask"; the chosen
// entry's mask goes to the linked file list.
#include <QComboBox>
#include <QPointer>
#include <string>
#include <vector>

namespace velk {

class TFileListBox;

class TFilterComboBox : public QComboBox {
  Q_OBJECT
public:
  explicit TFilterComboBox(QWidget* parent = nullptr);  // filter "All files (*.*)|*.*"

  const std::string& Filter() const { return filter_; }
  // Rebuilds the entries and selects the first one.
  void SetFilter(const std::string& filter);
  int ItemIndex() const { return currentIndex(); }
  // By program; the linked file list takes the new entry's mask like a user's choice.
  void SetItemIndex(int index);
  // The mask of the selected entry ("*.*" when nothing is selected).
  std::string Mask() const;

  TFileListBox* FileList() const { return fileList_; }
  // Links a file list and gives it the current mask.
  void SetFileList(TFileListBox* list);

signals:
  // The user chose an entry.
  void OnChange(QObject* sender);

private:
  void IndexChanged();

  std::string filter_;
  std::vector<std::string> masks_;
  bool rebuilding_ = false;
  QPointer<TFileListBox> fileList_;
};

}  // namespace velk
