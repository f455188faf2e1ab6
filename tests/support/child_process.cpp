#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace velk::test {

namespace {

// A watch for files being created, written or renamed into a folder.
class FolderWatch {
public:
  FolderWatch(const std::string& folder, std::string prefix) : prefix_(std::move(prefix)) {
    if (folder.empty()) return;
    fd_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (fd_ < 0 || ::inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MODIFY | IN_MOVED_TO) < 0)
      throw std::runtime_error("cannot watch " + folder);
  }
  ~FolderWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Fd() const { return fd_; }
  // True when an event for a file with the prefix has arrived.
  bool Seen() {
    alignas(inotify_event) char buffer[4096];
    bool seen = false;
    for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;) {
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len && std::string(event->name).rfind(prefix_, 0) == 0) seen = true;
        at += ssize_t(sizeof(inotify_event) + event->len);
      }
    }
    return seen;
  }

private:
  int fd_ = -1;
  std::string prefix_;
};

}  // namespace

ChildRun RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                  const KillPlan& plan) {
  FolderWatch watch(plan.watchFolder, plan.watchPrefix);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::dup2(pipeFds[1], 1);
    ::dup2(pipeFds[1], 2);
    // glibc's putenv removes a variable given without "=".
    for (const std::string& entry : env) ::putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  ChildRun run;
  const auto kill = [&] {
    if (run.killed) return;
    ::kill(pid, SIGKILL);
    run.killed = true;
  };
  bool signalled = false;
  size_t stepFrom = 0;  // where the next step's pattern is looked for
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    int timeout = -1;
    if (plan.afterSeconds >= 0 && !run.killed) {
      const double left = plan.afterSeconds -
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (left <= 0) kill();
      else timeout = int(left * 1000) + 1;
    }
    pollfd fds[2] = {{pipeFds[0], POLLIN, 0}, {watch.Fd(), POLLIN, 0}};
    if (::poll(fds, watch.Fd() >= 0 ? 2 : 1, timeout) <= 0) continue;
    if (watch.Fd() >= 0 && (fds[1].revents & POLLIN) && watch.Seen() && !run.killed) {
      if (plan.delayMicroseconds > 0) ::usleep(useconds_t(plan.delayMicroseconds));
      kill();
    }
    if (!(fds[0].revents & (POLLIN | POLLHUP))) continue;
    char buffer[4096];
    const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;  // the child and everything it started have gone
    run.output.append(buffer, size_t(got));
    if (plan.signal && !signalled && run.output.find(plan.signalWhenOutput) != std::string::npos) {
      ::kill(pid, plan.signal);
      signalled = true;
    }
    while (run.stepsDone < plan.steps.size()) {
      const std::string rest = run.output.substr(stepFrom);
      std::smatch match;
      if (!std::regex_search(rest, match, std::regex(plan.steps[run.stepsDone].pattern))) break;
      stepFrom += size_t(match.position(0) + match.length(0));
      plan.steps[run.stepsDone++].then(pid);
    }
  }
  ::close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  if (run.killed && !(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) run.killed = false;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.peakMemoryKiB = usage.ru_maxrss;
  return run;
}

std::string FindTool(const std::string& name) {
  std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
  for (std::string folder; std::getline(path, folder, ':');)
    if (!folder.empty() && ::access((folder + "/" + name).c_str(), X_OK) == 0)
      return folder + "/" + name;
  return {};
}

}  // namespace velk::test
