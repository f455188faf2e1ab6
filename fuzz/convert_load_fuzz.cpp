// The converter's load step over any bytes, written as a file of each kind it takes: the
// loader picked by the extension, then the same checks the Convert page and the command line
// make. Messages the TIFF reader shows go to the scripted dialogs.
#include <exception>
#include <string>

#include "fuzz_temp_dir.h"
#include "gif/gif_image.h"
#include "options/conversion.h"
#include "picture_limits.h"
#include "platform/atomic_file.h"
#include "platform/dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = FuzzTempDir("convert-fuzz");
  if (!fuzz::PictureWithinLimit(data, size)) return 0;
  velk::ScopedScriptedDialogs dialogs;
  const velk::PhotoCorrections corrections;  // turning and profiles on, as they start
  for (const char* extension : {".jpg", ".bmp", ".gif", ".tif"}) {
    const std::string path = folder + "input" + extension;
    if (!velk::WriteFileAtomically(path, data, size)) return 0;
    velk::TGIFImage gif;
    try {
      (void)velk::LoadConvertInput(path, gif, corrections);
    } catch (const std::exception&) {
      // every failure is an exception with its message: the run reports it and goes on
    }
  }
  return 0;
}
