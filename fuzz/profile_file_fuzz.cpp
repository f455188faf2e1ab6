#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/profile_file.h"

// Reads arbitrary bytes as a profile file, then writes a key and checks it reads back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    std::string dir = "/tmp/velk-profile-fuzz-XXXXXX";
    if (!::mkdtemp(dir.data())) std::abort();
    return dir + "/fuzz.ini";
  }();
  if (!velk::WriteFileAtomically(path, data, size)) return 0;
  velk::ProfileFile file(path);
  for (const std::string& section : file.ReadSections())
    for (const std::string& key : file.ReadSection(section)) {
      (void)file.ReadString(section, key, "");
      (void)file.ReadInteger(section, key, 0);
    }
  try {
    file.WriteString("Fuzz", "Key", "value");
    if (file.ReadString("Fuzz", "Key", "") != "value") __builtin_trap();
    file.EraseSection("Fuzz");
  } catch (const velk::EFileError&) {
  }
  return 0;
}
