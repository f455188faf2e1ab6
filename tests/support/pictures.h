#pragma once
// Pictures for widget tests.
#include "platform/picture.h"

namespace velk::test {

// A 24-bit bitmap picture of one colour: the given red, no green or blue.
inline Picture SolidPicture(int width, int height, uint8_t red) {
  Bitmap bitmap(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap.ScanLine(y)[3 * x + 2] = red;
  Picture picture;
  picture.SetBitmap(std::move(bitmap));
  return picture;
}

}  // namespace velk::test
