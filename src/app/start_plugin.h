#pragma once
// Starting a plugin: a shared library that exports procedures without arguments, called on the
// user-interface thread. Libraries stay loaded until the program ends.
#include <string>

namespace velk {

inline constexpr const char* kPluginNotFound = "Plugin not found";
inline constexpr const char* kPluginLoadFailed = "Unable to intitialize plugin.";
inline constexpr const char* kPluginError = "Plugin Error";

// Shows one of the three messages in an error box when the file is missing, the library
// cannot be loaded or lacks the procedure; otherwise calls the procedure and waits for it.
// Returns true when the procedure ran.
bool StartPlugin(const std::string& libraryPath, const std::string& procedureName);

}  // namespace velk
