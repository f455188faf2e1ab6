#include "image/jpeg_turn.h"

#include <turbojpeg.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "image/jpeg_codec.h"
#include "photo/orientation.h"
#include "platform/bitmap.h"

namespace velk {

namespace {

// An orientation as what it does to a point (x right, y down, from the middle): x' = a x + b y,
// y' = c x + d y. Index 0 is EXIF Orientation 1, and so on.
struct Matrix {
  int a, b, c, d;
  friend bool operator==(const Matrix&, const Matrix&) = default;
};
constexpr std::array<Matrix, 8> kOrientations = {{
    {1, 0, 0, 1},    // 1 as stored
    {-1, 0, 0, 1},   // 2 mirrored left to right
    {-1, 0, 0, -1},  // 3 half a turn
    {1, 0, 0, -1},   // 4 mirrored top to bottom
    {0, 1, 1, 0},    // 5 transposed
    {0, -1, 1, 0},   // 6 a quarter clockwise
    {0, -1, -1, 0},  // 7 transversed
    {0, 1, -1, 0},   // 8 a quarter anticlockwise
}};
// TurboJPEG's operation for each orientation, in the same order.
constexpr std::array<int, 8> kOperations = {TJXOP_NONE,      TJXOP_HFLIP,      TJXOP_ROT180,
                                            TJXOP_VFLIP,     TJXOP_TRANSPOSE,  TJXOP_ROT90,
                                            TJXOP_TRANSVERSE, TJXOP_ROT270};

int OrientationOf(Turn turn) {
  switch (turn) {
    case Turn::Clockwise: return 6;
    case Turn::Anticlockwise: return 8;
    case Turn::MirrorLeftRight: return 2;
    case Turn::MirrorTopBottom: return 4;
  }
  return 1;
}

// The orientation that does first, then then.
int Followed(int first, int then) {
  const Matrix f = kOrientations[size_t(first - 1)], t = kOrientations[size_t(then - 1)];
  const Matrix both{t.a * f.a + t.b * f.c, t.a * f.b + t.b * f.d, t.c * f.a + t.d * f.c,
                    t.c * f.b + t.d * f.d};
  for (size_t i = 0; i < kOrientations.size(); ++i)
    if (kOrientations[i] == both) return int(i) + 1;
  return 1;
}

// Where the file's EXIF Orientation value lies: the offset of its two bytes, 0 for none.
struct OrientationPlace {
  size_t offset = 0;
  bool bigEndian = false;
};

OrientationPlace FindOrientation(const std::vector<uint8_t>& jpeg) {
  size_t at = 2;  // after SOI
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const uint8_t marker = jpeg[at + 1];
    if (marker == 0xDA || marker == 0xD9) break;  // the picture's data: no more segments
    const size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
    if (length < 2 || at + 2 + length > jpeg.size()) break;
    if (marker == 0xE1) {
      bool bigEndian = false;
      const size_t value = ExifOrientationOffset(&jpeg[at + 4], length - 2, &bigEndian);
      if (value != 0) return {at + 4 + value, bigEndian};
    }
    at += 2 + length;
  }
  return {};
}

void SetOrientation(std::vector<uint8_t>& jpeg, const OrientationPlace& place, int value) {
  jpeg[place.offset] = place.bigEndian ? 0 : uint8_t(value);
  jpeg[place.offset + 1] = place.bigEndian ? uint8_t(value) : 0;
}

// An APP1 EXIF segment holding just the Orientation, put after SOI and any JFIF APP0.
void AddOrientation(std::vector<uint8_t>& jpeg, int value) {
  static constexpr uint8_t kSegment[] = {
      0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,  // marker, length 34, "Exif\0\0"
      'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,      // TIFF header, first directory at 8
      0x00, 0x01,                                        // one entry:
      0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01,    // Orientation, SHORT, one value
      0x00, 0x00, 0x00, 0x00,                            // the value (set below)
      0x00, 0x00, 0x00, 0x00};                           // no further directory
  size_t at = 2;
  if (jpeg.size() > 6 && jpeg[2] == 0xFF && jpeg[3] == 0xE0)
    at = std::min(jpeg.size(), 4 + (size_t(jpeg[4]) << 8 | jpeg[5]));
  jpeg.insert(jpeg.begin() + std::ptrdiff_t(at), std::begin(kSegment), std::end(kSegment));
  jpeg[at + 29] = uint8_t(value);
}

using Handle = std::unique_ptr<void, int (*)(tjhandle)>;

}  // namespace

Turn Inverse(Turn turn) {
  switch (turn) {
    case Turn::Clockwise: return Turn::Anticlockwise;
    case Turn::Anticlockwise: return Turn::Clockwise;
    default: return turn;  // a mirror undoes itself
  }
}

std::vector<uint8_t> TurnJpeg(const std::vector<uint8_t>& jpeg, Turn turn) {
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
    throw EJPEGException("Not a JPEG file");
  const OrientationPlace place = FindOrientation(jpeg);
  int stored = 1;
  if (place.offset != 0) {
    stored = place.bigEndian ? jpeg[place.offset + 1] : jpeg[place.offset];
    if (!ValidOrientation(stored)) stored = 1;
  }
  const int wanted = Followed(stored, OrientationOf(turn));

  const Handle handle(tjInitTransform(), tjDestroy);
  if (!handle) throw EJPEGException("Cannot start the JPEG transform");
  // The coefficients of the whole picture are held at once: under the decoder's own limit.
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(handle.get(), jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                          &colourspace) != 0)
    throw EJPEGException(tjGetErrorStr2(handle.get()));
  if (uint64_t(width) * uint64_t(height) * 4 > kMaxBitmapBytes)
    throw EJPEGException("Image too large to decode");
  tjtransform transform{};
  transform.op = kOperations[size_t(wanted - 1)];
  transform.options = TJXOPT_PERFECT;  // every marker is copied
  unsigned char* turned = nullptr;
  unsigned long turnedSize = 0;
  if (tjTransform(handle.get(), jpeg.data(), jpeg.size(), 1, &turned, &turnedSize, &transform,
                  0) == 0) {
    std::vector<uint8_t> result(turned, turned + turnedSize);
    tjFree(turned);
    if (const OrientationPlace now = FindOrientation(result); now.offset != 0)
      SetOrientation(result, now, 1);
    return result;
  }
  tjFree(turned);
  const std::string why = tjGetErrorStr2(handle.get());
  if (why.find("not perfect") == std::string::npos) throw EJPEGException(why);
  // Partial MCU blocks at an edge: the viewers turn the picture by its orientation instead.
  std::vector<uint8_t> result = jpeg;
  if (place.offset != 0) SetOrientation(result, place, wanted);
  else AddOrientation(result, wanted);
  return result;
}

}  // namespace velk
