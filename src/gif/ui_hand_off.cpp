#include "gif/ui_hand_off.h"

#include <QCoreApplication>
#include <QThread>
#include <exception>

namespace velk {

UiHandOff& UiHandOff::Instance() {
  // Never destroyed: a painter left to end by itself may still wake it while the program exits.
  static UiHandOff* const instance = new UiHandOff;
  return *instance;
}

bool UiHandOff::OnUiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

bool UiHandOff::Run(const std::function<void()>& work) {
  if (OnUiThread()) {
    work();
    return true;
  }
  Job job{&work};
  bool post = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.push_back(&job);
    post = !posted_;
    posted_ = true;
  }
  arrived_.notify_all();
  if (post) {
    if (QCoreApplication* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(
          app, [] { Instance().RunPending(true); }, Qt::QueuedConnection);
  }
  std::unique_lock<std::mutex> guard(lock_);
  done_.wait(guard, [&] { return job.done; });
  return !job.failed;
}

void UiHandOff::RunPending(bool passErrorsOn) {
  std::exception_ptr firstError;
  {
    std::lock_guard<std::mutex> guard(lock_);
    posted_ = false;
  }
  for (;;) {
    Job* job = nullptr;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (queue_.empty()) break;
      job = queue_.front();
      queue_.pop_front();
    }
    bool failed = false;
    try {
      (*job->work)();
    } catch (...) {
      failed = true;
      if (!firstError) firstError = std::current_exception();
    }
    {
      // The job lives on its painter's stack: it must not be touched once done is set.
      std::lock_guard<std::mutex> guard(lock_);
      job->failed = failed;
      job->done = true;
    }
    done_.notify_all();
  }
  if (firstError && passErrorsOn) std::rethrow_exception(firstError);
}

uint64_t UiHandOff::WakeTicket() const {
  std::lock_guard<std::mutex> guard(lock_);
  return wakes_;
}

void UiHandOff::WaitAndRun(uint64_t ticket, std::chrono::milliseconds timeout) {
  {
    std::unique_lock<std::mutex> guard(lock_);
    arrived_.wait_for(guard, timeout, [&] { return !queue_.empty() || wakes_ != ticket; });
  }
  RunPending(false);
}

void UiHandOff::Wake() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    ++wakes_;
  }
  arrived_.notify_all();
}

size_t UiHandOff::PendingCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return queue_.size();
}

}  // namespace velk
