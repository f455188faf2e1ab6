// LoadTiffIntoBitmap over arbitrary bytes, with the dialogs service scripted so messages are
// recorded rather than shown; the page's orientation and colour profile are applied as the
// viewer applies them. A decoded image is written and read again to cover the writer.
#include <span>

#include "image/tiff_file.h"
#include "image/tiff_reader.h"
#include "image/tiff_writer.h"
#include "photo/colour_profile.h"
#include "photo/orientation.h"
#include "platform/dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velk::ScopedScriptedDialogs dialogs;  // fresh each run, so recorded messages never pile up
  velk::TFileTiff file;
  file.Open(velk::MemoryTiffSource(std::span<const uint8_t>(data, size)), "fuzz.tif");
  velk::Bitmap bitmap;
  velk::TiffViewing viewing;
  if (!velk::LoadTiffIntoBitmap(file, bitmap, &viewing)) return 0;
  velk::ConvertBitmapToSrgb(bitmap, viewing.profile);
  bitmap = velk::Oriented(std::move(bitmap), viewing.orientation);
  const std::vector<uint8_t> written = velk::WriteBitmapAsTiff(bitmap);
  velk::TFileTiff again;
  again.Open(velk::MemoryTiffSource(written), "again.tif");
  velk::Bitmap reread;
  if (!velk::LoadTiffIntoBitmap(again, reread)) __builtin_trap();
  return 0;
}
