#pragma once
// What the command line asks for, decided before any window or display is needed, and the
// usage text that --help prints (the manual page is made from it too).
#include <QStringList>
#include <string>

namespace velk {

struct CommandLine {
  enum class Action { View, Help, Version, Convert, BadUsage };
  Action action = Action::View;
  std::string problem;  // what is wrong, for BadUsage
};

// Options are ours (--help, -h, --version, --convert ...) or Qt's own (-platform, -style, ...);
// anything else starting with "-" before a "--" is bad usage.
CommandLine ParseCommandLine(int argc, char** argv);

std::string UsageText();

// The files to view from the arguments Qt left (program name removed): "--" ends the options
// and is not a file itself.
QStringList FileArguments(QStringList arguments);

// The one-line reason the window cannot open on this display set-up, or empty when it can:
// the X11 platform without DISPLAY would abort inside Qt.
std::string DisplayProblem(int argc, char** argv);

// While it lives, Qt's fatal message (a display that does not answer, a platform plugin that
// cannot load) ends the program with one line and exit code 1 rather than an abort. Qt's other
// messages meanwhile are held back: dropped with a fatal one (they only lead up to it), passed on
// when the guard goes.
class DisplayFailureGuard {
public:
  DisplayFailureGuard();
  ~DisplayFailureGuard();
  DisplayFailureGuard(const DisplayFailureGuard&) = delete;
  DisplayFailureGuard& operator=(const DisplayFailureGuard&) = delete;
};

}  // namespace velk
