#include <cstdlib>
#include <string>

#include "fuzz_temp_dir.h"
#include "options/languages.h"
#include "platform/atomic_file.h"

// Reads arbitrary bytes as the current language file, every interface text the way the
// translators read them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    const std::string dir = FuzzTempDir("language-fuzz");
    const std::string plugins =
        "[Languages]\r\nlanguage1=" + dir + "fuzz.ldf\r\ncurrent=1\r\n";
    if (!velk::WriteFileAtomically(dir + "plugins.ini", plugins.data(), plugins.size()))
      std::abort();
    return dir;
  }();
  static const std::vector<std::string> keys = velk::LanguageKeys();
  if (!velk::WriteFileAtomically(folder + "fuzz.ldf", data, size)) return 0;
  const velk::LanguageTexts texts(folder);
  for (const std::string& key : keys) (void)texts(key.c_str(), "English");
  return 0;
}
