#pragma once
#include <string>

namespace velk {

// The folder of the running executable (symlinks to it followed) with a trailing "/". Code
// that needs it takes it as a parameter, so tests can point it at a temporary folder.
std::string ProgramFolder();
// The executable's full path.
std::string ProgramPath();

}  // namespace velk
