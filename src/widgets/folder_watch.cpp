#include "widgets/folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace velk {
namespace {

constexpr int kDelayMs = 100;
constexpr uint32_t kEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

FolderWatch::FolderWatch(std::function<void(const FolderChanges&)> onChange)
    : onChange_(std::move(onChange)) {
  delay_.setSingleShot(true);
  delay_.setInterval(kDelayMs);
  QObject::connect(&delay_, &QTimer::timeout, [this] { Report(); });
}

FolderWatch::~FolderWatch() {
  notifier_.reset();
  if (fd_ >= 0) close(fd_);
}

bool FolderWatch::Watch(const std::string& folder) {
  if (fd_ < 0) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return false;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { ReadEvents(); });
  }
  if (watch_ >= 0) inotify_rm_watch(fd_, watch_);
  delay_.stop();
  changes_ = {};
  movedFrom_.clear();
  watch_ = inotify_add_watch(fd_, folder.c_str(), kEvents);
  return watch_ >= 0;
}

void FolderWatch::ReadEvents() {
  alignas(inotify_event) char buffer[16384];
  ssize_t size;
  while ((size = read(fd_, buffer, sizeof buffer)) > 0) {
    for (ssize_t at = 0; at < size;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += ssize_t(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) changes_.everything = true;
      if (event->wd != watch_) continue;  // the watch of a folder left before
      if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) changes_.everything = true;
      if (event->len == 0 || (event->mask & IN_ISDIR)) continue;  // folders are not listed
      const std::string name = event->name;
      changes_.names.insert(name);
      if (event->mask & IN_MOVED_FROM) movedFrom_[event->cookie] = name;
      if (event->mask & IN_MOVED_TO) {
        if (auto from = movedFrom_.find(event->cookie); from != movedFrom_.end())
          changes_.renames.emplace_back(from->second, name);
      }
    }
  }
  if (!delay_.isActive() && (changes_.everything || !changes_.names.empty())) delay_.start();
}

void FolderWatch::Report() {
  const FolderChanges changes = std::exchange(changes_, {});
  movedFrom_.clear();
  onChange_(changes);
}

}  // namespace velk
