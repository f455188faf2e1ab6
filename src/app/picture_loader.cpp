#include "app/picture_loader.h"

#include <malloc.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <chrono>

#include "image/jpeg_image.h"

namespace velk {

namespace {

uint64_t DefaultMemoryCap() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  const uint64_t quarter = pages > 0 && pageSize > 0 ? uint64_t(pages) * uint64_t(pageSize) / 4 : 0;
  constexpr uint64_t kMost = uint64_t(512) << 20;
  return quarter ? std::min(quarter, kMost) : kMost;
}

bool Contains(const std::vector<LoadRequest>& requests, const LoadRequest& request) {
  return std::find(requests.begin(), requests.end(), request) != requests.end();
}

}  // namespace

struct PictureLoader::Job {
  explicit Job(LoadRequest r) : request(std::move(r)) {}
  const LoadRequest request;
  std::atomic<bool> cancelled{false};
  std::atomic<bool> wanted{false};  // the window waits for it: its progress is reported
  std::atomic<int> progress{0};     // progress steps not yet reported
  std::mutex mutex;
  std::condition_variable doneChanged;
  bool done = false;       // guarded by mutex, like the two below
  bool abandoned = false;
  LoadedPointer result;
  bool taken = false;      // window's thread only: Wait took the result already
  bool launchedWanted = false;  // started for the selection, not ahead of it
};

PictureLoader::PictureLoader(uint64_t memoryCap, QObject* parent)
    : QObject(parent), cap_(memoryCap ? memoryCap : DefaultMemoryCap()),
      wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  preloadTimer_.setSingleShot(true);
  preloadTimer_.setInterval(kPreloadDelayMs);
  connect(&preloadTimer_, &QTimer::timeout, this, [this] { StartPreloads(); });
  // Pictures of many sizes leave gaps in the heap that the C library keeps: a walk through
  // mixed folders grew by a few MiB over thousands of steps without holding any more. Once
  // browsing pauses, those free pages are given back.
  trimTimer_.setSingleShot(true);
  trimTimer_.setInterval(kTrimDelayMs);
  connect(&trimTimer_, &QTimer::timeout, this, [] { malloc_trim(0); });
}

PictureLoader::~PictureLoader() {
  Shutdown();
  notifier_.reset();
  if (wake_ >= 0) close(wake_);
}

void PictureLoader::Shutdown() {
  {
    const std::lock_guard lock(queueLock_);
    quit_ = true;
    for (const auto& job : running_) job->cancelled = true;
  }
  queueChanged_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

std::shared_ptr<PictureLoader::Job> PictureLoader::Launch(const LoadRequest& request, bool wanted) {
  Listen();
  ++loadsBegun_;
  auto job = std::make_shared<Job>(request);
  job->wanted = job->launchedWanted = wanted;
  running_.push_back(job);
  {
    const std::lock_guard lock(queueLock_);
    // The one the window waits for goes before loads made ahead.
    if (wanted) queue_.push_front(job);
    else queue_.push_back(job);
    // As many workers as cores, started as loads come.
    const size_t cores = size_t(std::max(1u, std::thread::hardware_concurrency()));
    if (!quit_ && workers_.size() < std::min(cores, queue_.size() + running_.size()))
      workers_.emplace_back([this] { Work(); });
  }
  queueChanged_.notify_one();
  return job;
}

void PictureLoader::Work() {
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock lock(queueLock_);
      queueChanged_.wait(lock, [this] { return quit_ || !queue_.empty(); });
      if (quit_) return;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    Run(*job);
    {
      const std::lock_guard lock(queueLock_);
      done_.push_back(std::move(job));
    }
    const uint64_t one = 1;
    if (wake_ >= 0 && write(wake_, &one, sizeof one) < 0) {}  // full: already awake
  }
}

void PictureLoader::Run(Job& job) {
  LoadedPointer result;
  bool abandoned = job.cancelled;
  if (!abandoned) {
    // The window hears of progress every few milliseconds, not at every step: a small photo
    // would otherwise wake it a hundred times while it decodes.
    using Clock = std::chrono::steady_clock;
    Clock::time_point told = Clock::now();
    try {
      result = std::make_shared<const LoadedPicture>(LoadPicture(
          job.request, [&job] { return job.cancelled.load(); },
          [this, &job, &told] {
            if (!job.wanted) return;
            ++job.progress;
            const Clock::time_point now = Clock::now();
            if (now - told < std::chrono::milliseconds(kProgressWakeMs)) return;
            told = now;
            const uint64_t one = 1;
            if (wake_ >= 0 && write(wake_, &one, sizeof one) < 0) {}
          }));
    } catch (const JpegDecodeAbandoned&) {
      abandoned = true;
    } catch (const std::bad_alloc&) {
      // No memory even for the result: the wanted load is made again on the window's thread,
      // where its error can be shown; a load ahead is dropped.
    }
  }
  {
    const std::lock_guard lock(job.mutex);
    job.done = true;
    job.abandoned = abandoned;
    job.result = std::move(result);
  }
  job.doneChanged.notify_all();
}

void PictureLoader::Listen() {
  // The notifier needs the application's event loop; a load started before it exists is
  // heard once it does (the eventfd keeps its count).
  if (notifier_ || wake_ < 0 || !QCoreApplication::instance()) return;
  notifier_ = std::make_unique<QSocketNotifier>(wake_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Drain(); });
}

void PictureLoader::Drain() {
  uint64_t count;
  while (read(wake_, &count, sizeof count) > 0) {}
  if (wanted_)
    for (int steps = wanted_->progress.exchange(0); steps > 0 && wanted_; --steps) emit Progress();
  std::vector<std::shared_ptr<Job>> done;
  {
    const std::lock_guard lock(queueLock_);
    done.swap(done_);
  }
  for (const auto& job : done) Finished(job);
}

void PictureLoader::Finished(const std::shared_ptr<Job>& job) {
  std::erase(running_, job);
  LoadedPointer result;
  {
    const std::lock_guard lock(job->mutex);
    if (job->taken || job->abandoned) return;
    result = job->result;
  }
  if (job == wanted_) {
    if (result && !job->launchedWanted && !Fresh(*result)) {
      // A neighbour's load taken over by the selection, but the file changed since it began.
      wanted_ = Launch(job->request, true);
      return;
    }
    wanted_.reset();
    if (!result) result = std::make_shared<const LoadedPicture>(LoadPicture(job->request));
    emit Ready(result);
    return;
  }
  if (job->cancelled || !result || !Contains(neighbours_, job->request)) return;
  if (MemoryHeld() + result->Cost() > cap_) return;
  ready_.push_back(std::move(result));
}

std::shared_ptr<PictureLoader::Job> PictureLoader::Running(const LoadRequest& request) const {
  for (const auto& job : running_)
    if (job->request == request && !job->cancelled) return job;
  return nullptr;
}

bool PictureLoader::Fresh(const LoadedPicture& picture) const {
  return StampOf(picture.request.path) == picture.stamp;
}

LoadedPointer PictureLoader::TakeReady(const LoadRequest& request) {
  Listen();
  for (auto it = ready_.begin(); it != ready_.end(); ++it) {
    if ((*it)->request != request) continue;
    LoadedPointer picture = *it;
    if (Fresh(*picture)) return picture;
    ready_.erase(it);  // the file changed on disk since: read it again
    return nullptr;
  }
  return nullptr;
}

LoadedPointer PictureLoader::Wait(const LoadRequest& request) {
  if (LoadedPointer ready = TakeReady(request)) return ready;
  if (const auto job = Running(request)) {
    std::unique_lock lock(job->mutex);
    job->doneChanged.wait(lock, [&job] { return job->done; });
    job->taken = true;
    if (job == wanted_) wanted_.reset();
    if (job->result && Fresh(*job->result)) return job->result;
  }
  ++loadsBegun_;
  return std::make_shared<const LoadedPicture>(LoadPicture(request));
}

void PictureLoader::Want(const LoadRequest& request) {
  CancelWanted();
  // The wanted load gets the cores: loads for another place in the list give way.
  for (const auto& job : running_)
    if (job->request != request) job->cancelled = true;
  if (const auto job = Running(request)) {
    wanted_ = job;
    wanted_->wanted = true;
  } else {
    wanted_ = Launch(request, true);
  }
}

void PictureLoader::CancelWanted() {
  if (!wanted_) return;
  wanted_->cancelled = true;
  wanted_.reset();
}

void PictureLoader::Start(const LoadRequest& request) {
  if (Running(request) || TakeReady(request)) return;
  neighbours_.push_back(request);
  Launch(request);
}

void PictureLoader::Keep(const LoadedPointer& picture) {
  std::erase_if(ready_, [&](const LoadedPointer& p) { return p->request == picture->request; });
  ready_.insert(ready_.begin(), picture);
}

void PictureLoader::Preload(const LoadedPointer& shown, const std::vector<LoadRequest>& neighbours) {
  Listen();
  neighbours_ = neighbours;
  std::erase_if(ready_, [&](const LoadedPointer& p) {
    return p->request != shown->request && !Contains(neighbours_, p->request);
  });
  Keep(shown);
  for (const auto& job : running_)
    if (job != wanted_ && !Contains(neighbours_, job->request)) job->cancelled = true;
  // Over the cap, the least likely go first; the shown one stays whatever it costs.
  while (ready_.size() > 1 && MemoryHeld() > cap_) ready_.pop_back();
  // A moment later: the picture just shown paints first (at start-up the window is not even
  // mapped yet), and a quick run of presses does not start loads it would give up at once.
  preloadTimer_.start();
  trimTimer_.start();
}

void PictureLoader::Retain(const std::vector<LoadRequest>& keep) {
  std::erase_if(ready_, [&](const LoadedPointer& p) { return !Contains(keep, p->request); });
}

void PictureLoader::StartPreloads() {
  for (const LoadRequest& request : neighbours_) {
    if (Running(request) || TakeReady(request)) continue;
    // A file larger than a quarter of the cap would not leave room once decoded.
    if (StampOf(request.path).size > cap_ / 4) continue;
    Launch(request);
  }
}

uint64_t PictureLoader::MemoryHeld() const {
  uint64_t held = 0;
  for (const auto& picture : ready_) held += picture->Cost();
  return held;
}

}  // namespace velk
