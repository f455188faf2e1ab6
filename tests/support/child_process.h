#pragma once
// Runs a program as a child process, the way a user's shell would, for tests of whole runs.
#include <functional>
#include <string>
#include <vector>

namespace velk::test {

struct ChildRun {
  int exitCode = -1;     // -1 when it ended by a signal
  bool killed = false;   // we sent SIGKILL before it ended
  std::string output;    // stdout and stderr together
  long peakMemoryKiB = 0;
  size_t stepsDone = 0;  // of KillPlan::steps
};

// When to kill the child with SIGKILL, if it is still running: after a time, or a moment
// after it starts writing a file whose name begins with watchPrefix in watchFolder.
struct KillPlan {
  double afterSeconds = -1;  // -1: no time limit
  std::string watchFolder;   // "": no watch
  std::string watchPrefix;
  int delayMicroseconds = 0;  // between seeing the write and the kill
  // Instead: once the output holds this text, the child gets signal (once); the time limit
  // still ends it with SIGKILL.
  std::string signalWhenOutput;
  int signal = 0;
  // A scripted run: once the output, from where the previous step matched, matches a step's
  // pattern (an ECMAScript regular expression), its action runs with the child's process id.
  struct Step {
    std::string pattern;
    std::function<void(int pid)> then;
  };
  std::vector<Step> steps;
};

// A program on PATH with its full path, or empty when there is none.
std::string FindTool(const std::string& name);

// argv[0] is the program's path. env adds or replaces NAME=VALUE entries; a NAME alone
// removes that variable.
ChildRun RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                  const KillPlan& kill = {});

}  // namespace velk::test
