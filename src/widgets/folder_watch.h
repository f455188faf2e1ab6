#pragma once
// Follows one folder on disk through the kernel's change notifications (inotify) and reports
// which names changed. Changes come together a tenth of a second after the first one, so a
// burst (a copy of many files) arrives as one report.
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class QSocketNotifier;

namespace velk {

struct FolderChanges {
  std::set<std::string> names;  // entries made, removed or renamed (old and new names)
  std::vector<std::pair<std::string, std::string>> renames;  // old name, new name
  bool everything = false;  // events were lost, or the folder itself moved or went
};

class FolderWatch {
public:
  explicit FolderWatch(std::function<void(const FolderChanges&)> onChange);
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // Follows `folder` instead of the previous one; changes not yet reported are dropped. False
  // when the folder cannot be watched (the system's limit, no right to read it).
  bool Watch(const std::string& folder);

private:
  void ReadEvents();
  void Report();

  std::function<void(const FolderChanges&)> onChange_;
  int fd_ = -1;
  int watch_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer delay_;
  FolderChanges changes_;
  std::map<uint32_t, std::string> movedFrom_;  // a rename's old name by its cookie
};

}  // namespace velk
