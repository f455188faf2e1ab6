#include <new>

#include "picture_limits.h"
#include "platform/bmp_codec.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz::BmpWithinLimit(data, size)) return 0;
  try {
    const velk::Bitmap bitmap = velk::ReadBmp(data, size);
    (void)velk::WriteBmp(bitmap);
  } catch (const velk::EInvalidGraphic&) {
  } catch (const std::bad_alloc&) {
  }
  return 0;
}
