#pragma once
// The file list's entries read on a thread of its own, so that a folder of 100,000 files never
// holds up the window: the window's thread asks for a folder and is told when its listing is
// in (or waits for it when it needs it at once). A newer request stops the one under way.
#include <QSocketNotifier>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velk {

class FileMask;

// The files of `folder` that `mask` lists, in list order; `stop` ends the reading early.
std::vector<std::string> ListFiles(const std::string& folder, const FileMask& mask,
                                   const std::function<bool()>& stop = {});

class FolderListing {
public:
  // `onListed` runs on the window's thread once a listing is in.
  explicit FolderListing(std::function<void()> onListed);
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  void Start(const std::string& folder, const std::string& mask);
  // Whether a listing was asked for and not taken yet.
  bool Pending() const { return pending_; }
  // The listing asked for last, waiting for it if need be.
  std::vector<std::string> Take();

private:
  struct Request {
    std::string folder, mask;
    uint64_t id;
  };
  bool Ready();
  void Run();
  void Wake();

  std::function<void()> onListed_;
  bool pending_ = false;
  int wake_;  // an eventfd: the reading thread's "done" to the window's thread
  std::unique_ptr<QSocketNotifier> notifier_;

  std::mutex lock_;
  std::condition_variable changed_;
  std::optional<Request> request_;
  uint64_t asked_ = 0;  // id of the latest request
  uint64_t done_ = 0;   // id of the listing in result_
  std::vector<std::string> result_;
  bool quit_ = false;
  std::atomic<uint64_t> wanted_{0};  // read without the lock, to stop a superseded read
  std::thread thread_;
};

}  // namespace velk
