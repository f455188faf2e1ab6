#include "app/command_line.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "options/convert_command.h"

namespace velk {
namespace {

// Qt's own command-line options (QGuiApplication and the X11 platform), which Qt takes out of
// the arguments itself; those in the first list take a value.
constexpr std::string_view kQtOptionsWithValue[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qmljsdebugger",
    "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-session", "-style", "-stylesheet",
    "-display", "-geometry", "-name", "-title", "-visual"};
constexpr std::string_view kQtOptions[] = {"-reverse", "-widgetcount", "-nograb", "-dograb",
                                           "-sync"};

// Qt accepts its options with one dash or two.
std::string_view QtSpelling(std::string_view option) {
  return option.size() > 2 && option.substr(0, 2) == "--" ? option.substr(1) : option;
}

template <size_t N>
bool OneOf(std::string_view option, const std::string_view (&names)[N]) {
  for (std::string_view name : names)
    if (QtSpelling(option) == name) return true;
  return false;
}

}  // namespace

std::string UsageText() {
  return std::string(
      "Usage: velkview [OPTION]... [FILE]...\n"
             "  or:  velkview --convert FORMAT --output DIR [--quality N] FILE...\n"
             "Browse folders and view JPEG, BMP, GIF and TIFF pictures. FILE is shown at the\n"
             "remembered zoom; several are the file list, in their order; without one the\n"
             "remembered folder and file come back.\n"
             "\n"
             "Options:\n"
             "  -h, --help          show this help and exit\n"
             "      --version       show the version and exit\n"
             "      --convert FORMAT\n"
             "                      convert every FILE without a window, to FORMAT: bmp, jpeg,\n"
             "                      gif or tiff\n"
             "      --output DIR    the folder the converted files go to (made when missing)\n"
             "      --quality N     the JPEG quality, 0 to 100 (default 75)\n"
             "      --              end of options: what follows is a file\n"
             "Qt's own options (-platform, -display, -style, ...) are passed on to Qt.\n"
             "\n"
             "Keys:\n"
             "  Return, F11         full screen; there Space or Page Down, Backspace or Page Up,\n"
             "                      Home and End step through the files, and Escape, F11 or a\n"
             "                      click leave\n"
             "  F5                  refresh the folder\n"
             "  F1                  about the program\n"
             "  Ctrl+plus, Ctrl+minus\n"
             "                      zoom in, zoom out\n"
             "  Ctrl+0, Ctrl+1      zoom to fit, 100%\n"
             "  Ctrl+R, Ctrl+Shift+R\n"
             "                      turn a JPEG clockwise, anticlockwise for good, losslessly\n"
             "  Ctrl+Shift+M, Ctrl+Shift+U\n"
             "                      mirror it left to right, top to bottom for good\n"
             "  Delete, Shift+Delete\n"
             "                      move the file to the trash; delete it for good\n"
             "  F2, F7, F8          rename it; copy it or move it to a folder\n"
             "  Ctrl+C, Ctrl+Shift+F\n"
             "                      copy picture and file; show the file in the file manager\n"
             "  Ctrl+Z              undo the last of these changes to a file\n"
             "\n"
             "Environment:\n"
             "  DISPLAY             the X11 display the window opens on (XWayland on a Wayland\n"
             "                      desktop)\n"
             "  QT_QPA_PLATFORM     the Qt platform plugin, xcb when not set\n"
             "  XDG_CONFIG_HOME     settings go to $XDG_CONFIG_HOME/velkview/ (default\n"
             "                      ~/.config)\n"
             "  XDG_DATA_HOME       the applications menu launcher goes to\n"
             "                      $XDG_DATA_HOME/applications/ (default ~/.local/share), the\n"
             "                      trash is $XDG_DATA_HOME/Trash/\n"
             "\n"
             "Exit status:\n"
             "  0 success, 1 a file could not be converted or no display, 2 bad usage.\n");
}

CommandLine ParseCommandLine(int argc, char** argv) {
  if (IsConvertCommand(argc, argv)) return {CommandLine::Action::Convert, {}};
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    return {CommandLine::Action::Version, {}};
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    if (argument == "--help" || argument == "-h") return {CommandLine::Action::Help, {}};
  }
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    if (argument.size() < 2 || argument[0] != '-' || OneOf(argument, kQtOptions)) continue;
    if (OneOf(argument, kQtOptionsWithValue) && i + 1 < argc) {
      ++i;
      continue;
    }
    return {CommandLine::Action::BadUsage, "unknown option " + std::string(argument)};
  }
  return {};
}

QStringList FileArguments(QStringList arguments) {
  if (const qsizetype end = arguments.indexOf("--"); end >= 0) arguments.removeAt(end);
  return arguments;
}

std::string DisplayProblem(int argc, char** argv) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!platform || std::strncmp(platform, "xcb", 3) != 0) return {};
  const char* display = std::getenv("DISPLAY");
  if (display && *display) return {};
  for (int i = 1; i < argc; ++i)
    if (QtSpelling(argv[i]) == "-display") return {};
  return "velkview needs an X11 display (XWayland on a Wayland desktop); DISPLAY is not set";
}

namespace {

QtMessageHandler previousHandler = nullptr;

struct HeldMessage {
  QtMsgType type;
  std::string category;
  QString text;
};
std::vector<HeldMessage> heldMessages;

void EndOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    heldMessages.push_back({type, context.category ? context.category : "", message});
    return;
  }
  const char* display = std::getenv("DISPLAY");
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  std::fprintf(stderr, "velkview could not open the display \"%s\" (platform %s)\n",
               display ? display : "", platform ? platform : "default");
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace

DisplayFailureGuard::DisplayFailureGuard() { previousHandler = qInstallMessageHandler(EndOnFatal); }

DisplayFailureGuard::~DisplayFailureGuard() {
  qInstallMessageHandler(previousHandler);
  for (const HeldMessage& held : std::exchange(heldMessages, {})) {
    const QMessageLogContext context(nullptr, 0, nullptr, held.category.c_str());
    qt_message_output(held.type, context, held.text);
  }
}

}  // namespace velk
