#pragma once
// Loads the main window's pictures on worker threads: the one the window waits for, and the
// neighbours it will likely ask for next, kept ready under a memory cap. Everything here is
// called on the window's thread; results come back there.
#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/picture_load.h"

class QSocketNotifier;

namespace velk {

using LoadedPointer = std::shared_ptr<const LoadedPicture>;

class PictureLoader : public QObject {
  Q_OBJECT
public:
  // memoryCap 0: a quarter of physical memory, at most 512 MB.
  explicit PictureLoader(uint64_t memoryCap = 0, QObject* parent = nullptr);
  ~PictureLoader() override;  // Shutdown
  // Gives up running loads and waits for the workers to end; no load starts after it.
  void Shutdown();

  // A ready picture for the request whose file is unchanged since it was read, or nullptr.
  LoadedPointer TakeReady(const LoadRequest& request);
  // The picture for the request, waiting here for it: ready, loading already, or loaded on
  // this thread.
  LoadedPointer Wait(const LoadRequest& request);
  // Loads the request for the window (a load of it already running becomes the wanted one):
  // Progress follows it, Ready hands it over. Gives up the load wanted before.
  void Want(const LoadRequest& request);
  // Gives up the wanted load; nothing is handed over.
  void CancelWanted();
  bool Loading() const { return wanted_ != nullptr; }
  // Starts a load without waiting for it (a picture about to be asked for, at start-up).
  void Start(const LoadRequest& request);
  // After a picture is shown: keeps it (going back to it costs nothing) and loads the
  // neighbours, most likely first; everything else ready or loading is let go.
  void Preload(const LoadedPointer& shown, const std::vector<LoadRequest>& neighbours);
  // Lets go of the ready pictures not among these.
  void Retain(const std::vector<LoadRequest>& keep);

  uint64_t MemoryCap() const { return cap_; }
  // How many loads were begun, here or on the workers.
  int LoadsBegun() const { return loadsBegun_; }
  uint64_t MemoryHeld() const;

signals:
  void Progress();
  void Ready(velk::LoadedPointer picture);

private:
  struct Job;
  std::shared_ptr<Job> Launch(const LoadRequest& request, bool wanted = false);
  void Work();                 // a worker thread's loop
  void Run(Job& job);          // on a worker
  void Listen();               // the window's thread hears the workers from now on
  void Drain();                // the window's thread: progress and finished loads
  void Finished(const std::shared_ptr<Job>& job);
  std::shared_ptr<Job> Running(const LoadRequest& request) const;
  void Keep(const LoadedPointer& picture);
  void StartPreloads();
  bool Fresh(const LoadedPicture& picture) const;

  uint64_t cap_;
  // Workers and their queue; finished loads go back through done_, announced by an eventfd.
  std::vector<std::thread> workers_;
  std::mutex queueLock_;
  std::condition_variable queueChanged_;
  std::deque<std::shared_ptr<Job>> queue_;
  std::vector<std::shared_ptr<Job>> done_;
  bool quit_ = false;
  int wake_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::shared_ptr<Job> wanted_;
  std::vector<std::shared_ptr<Job>> running_;
  std::vector<LoadedPointer> ready_;  // the shown picture first, then preloaded ones
  std::vector<LoadRequest> neighbours_;
  QTimer preloadTimer_;
  static constexpr int kPreloadDelayMs = 50;
  // A while after the last picture shown, the heap's free pages go back to the system.
  QTimer trimTimer_;
  static constexpr int kTrimDelayMs = 2000;
  static constexpr int kProgressWakeMs = 8;
  int loadsBegun_ = 0;
};

}  // namespace velk
