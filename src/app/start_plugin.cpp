#include "app/start_plugin.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include "platform/dialogs.h"

namespace velk {

bool StartPlugin(const std::string& libraryPath, const std::string& procedureName) {
  struct stat info {};
  // A folder is no plugin: a section without Directory or Filename names the plugins folder.
  if (::stat(libraryPath.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
    AppDialogs().ShowError(kPluginNotFound);
    return false;
  }
  // Never closed: a plugin may leave windows or threads behind that use its code.
  void* library = ::dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    AppDialogs().ShowError(kPluginLoadFailed);
    return false;
  }
  using Procedure = void (*)();
  auto procedure = reinterpret_cast<Procedure>(::dlsym(library, procedureName.c_str()));
  if (!procedure) {
    AppDialogs().ShowError(kPluginError);
    return false;
  }
  procedure();
  return true;
}

}  // namespace velk
