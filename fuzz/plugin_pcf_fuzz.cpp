#include <cstdlib>
#include <string>

#include "fuzz_temp_dir.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/profile_file.h"

// Reads arbitrary bytes as a plugin's "plugin.pcf", the four keys the Plugins page reads, and
// rewrites them the way its Apply does.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = FuzzTempDir("pcf-fuzz") + "plugin.pcf";
  static const char* const keys[] = {"Name", "Filename", "Directory", "Version"};
  if (!velk::WriteFileAtomically(path, data, size)) return 0;
  velk::ProfileFile pcf(path);
  std::string values[4];
  for (int i = 0; i < 4; ++i) values[i] = pcf.ReadString("Settings", keys[i], "");
  try {
    for (int i = 0; i < 4; ++i) pcf.WriteString("Settings", keys[i], values[i] + "x");
    for (int i = 0; i < 4; ++i) {
      // A value never spans lines: line breaks in it are written as blanks.
      std::string expected = values[i] + "x";
      for (char& c : expected)
        if (c == '\r' || c == '\n') c = ' ';
      if (values[i].size() < 1000 && pcf.ReadString("Settings", keys[i], "") != expected)
        __builtin_trap();
    }
  } catch (const velk::EFileError&) {
  }
  return 0;
}
