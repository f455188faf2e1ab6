#include "widgets/folder_listing.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QString>
#include <algorithm>

#include "widgets/file_mask.h"
#include "widgets/folder_path.h"
#include "widgets/folder_reader.h"

namespace velk {

std::vector<std::string> ListFiles(const std::string& folder, const FileMask& mask,
                                   const std::function<bool()>& stop) {
  std::vector<std::string> names = ReadFolder(folder, EntryKind::Files, stop);
  std::erase_if(names, [&](const std::string& name) {
    return !mask.Matches(QString::fromStdString(name));
  });
  SortNames(names);
  return names;
}

FolderListing::FolderListing(std::function<void()> onListed)
    : onListed_(std::move(onListed)), wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (wake_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(wake_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
      uint64_t count;
      while (read(wake_, &count, sizeof count) > 0) {}
      if (pending_ && Ready()) onListed_();
    });
  }
}

FolderListing::~FolderListing() {
  {
    const std::lock_guard<std::mutex> guard(lock_);
    quit_ = true;
  }
  wanted_ = 0;  // stops a read under way
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  notifier_.reset();
  if (wake_ >= 0) close(wake_);
}

void FolderListing::Start(const std::string& folder, const std::string& mask) {
  {
    const std::lock_guard<std::mutex> guard(lock_);
    request_ = Request{folder, mask, ++asked_};
    wanted_ = asked_;
  }
  pending_ = true;
  if (wake_ < 0) {  // no way to be told: read here and now
    result_ = ListFiles(folder, FileMask(QString::fromStdString(mask)));
    done_ = asked_;
    return;
  }
  changed_.notify_all();
  if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
}

bool FolderListing::Ready() {
  const std::lock_guard<std::mutex> guard(lock_);
  return done_ == asked_;
}

std::vector<std::string> FolderListing::Take() {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [this] { return done_ == asked_; });
  pending_ = false;
  return std::move(result_);
}

void FolderListing::Run() {
  for (;;) {
    Request request;
    {
      std::unique_lock<std::mutex> guard(lock_);
      changed_.wait(guard, [this] { return quit_ || request_.has_value(); });
      if (quit_) return;
      request = std::move(*request_);
      request_.reset();
    }
    // The mask is made here, so that no Qt value is shared between the threads.
    std::vector<std::string> names =
        ListFiles(request.folder, FileMask(QString::fromStdString(request.mask)),
                  [&] { return wanted_ != request.id; });
    {
      const std::lock_guard<std::mutex> guard(lock_);
      if (request.id != asked_) continue;  // superseded: the newer request is read next
      result_ = std::move(names);
      done_ = request.id;
    }
    changed_.notify_all();
    Wake();
  }
}

void FolderListing::Wake() {
  const uint64_t one = 1;
  if (wake_ >= 0 && write(wake_, &one, sizeof one) < 0) {
    // The counter is full: a wake-up is waiting already.
  }
}

}  // namespace velk
