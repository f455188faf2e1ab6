#include <new>

#include "image/jpeg_codec.h"
#include "image/jpeg_turn.h"
#include "picture_limits.h"

// The first byte picks the turn, the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || !fuzz::JpegWithinLimit(data + 1, size - 1)) return 0;
  try {
    (void)velk::TurnJpeg(std::vector<uint8_t>(data + 1, data + size), velk::Turn(data[0] % 4));
  } catch (const velk::EJPEGException&) {
  } catch (const std::bad_alloc&) {
  }
  return 0;
}
