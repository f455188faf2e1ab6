#include <cstdlib>
#include <string>

#include "fuzz_temp_dir.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/profile_file.h"

// Reads arbitrary bytes as a profile file, then writes a key and checks it reads back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = FuzzTempDir("profile-fuzz") + "fuzz.ini";
  if (!velk::WriteFileAtomically(path, data, size)) return 0;
  velk::ProfileFile file(path);
  // Every read passes over the whole file, so only the first few sections and their first few
  // keys are read one by one (four of each keep the target at thousands of inputs a second);
  // single reads must agree with the section read in one pass.
  constexpr size_t kSingleReads = 4;
  const std::vector<std::string> sections = file.ReadSections();
  for (size_t s = 0; s < sections.size() && s < kSingleReads; ++s) {
    const std::string& section = sections[s];
    const auto values = file.ReadSectionValues(section);
    for (size_t i = 0; i < values.size() && i < kSingleReads; ++i) {
      const auto& [key, value] = values[i];
      if (file.ReadString(section, key, "\x01") != value.value_or("\x01")) __builtin_trap();
      (void)file.ReadInteger(section, key, 0);
    }
  }
  try {
    file.WriteString("Fuzz", "Key", "value");
    if (file.ReadString("Fuzz", "Key", "") != "value") __builtin_trap();
    file.EraseSection("Fuzz");
  } catch (const velk::EFileError&) {
  }
  return 0;
}
