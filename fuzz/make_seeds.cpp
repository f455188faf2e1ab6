// Writes the seed corpora of the fuzz targets from the project's own writers:
//   make_fuzz_seeds DIR   ->  DIR/bmp_reader, DIR/jpeg_decode, DIR/profile_file, DIR/registry_hive
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "image/jpeg_codec.h"
#include "platform/atomic_file.h"
#include "platform/bmp_codec.h"

namespace {

velk::Bitmap Pattern(int width, int height, int bits) {
  velk::Bitmap bitmap(width, height, bits);
  for (size_t i = 0; i < bitmap.Palette().size(); ++i)
    bitmap.Palette()[i] = velk::RGBQuad{uint8_t(i * 37), uint8_t(i * 91), uint8_t(i * 13), 0};
  for (int y = 0; y < height; ++y)
    for (size_t i = 0; i < bitmap.Stride(); ++i) bitmap.ScanLine(y)[i] = uint8_t(i * 7 + y * 3);
  return bitmap;
}

bool Put(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  ::mkdir(dir.c_str(), 0777);
  return velk::WriteFileAtomically(dir + "/" + name, bytes);
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  ::mkdir(root.c_str(), 0777);
  bool ok = true;
  for (int bits : {1, 4, 8, 16, 24, 32})
    ok &= Put(root + "/bmp_reader", "depth" + std::to_string(bits) + ".bmp", velk::WriteBmp(Pattern(13, 7, bits)));

  const velk::Bitmap colour = Pattern(19, 11, 24);
  velk::JpegEncodeOptions options;
  const std::string jpegs = root + "/jpeg_decode";
  // The fuzz target reads its options from the first byte.
  auto withOptions = [](uint8_t first, std::vector<uint8_t> jpeg) {
    jpeg.insert(jpeg.begin(), first);
    return jpeg;
  };
  ok &= Put(jpegs, "baseline", withOptions(0x02, velk::EncodeJpeg(colour, options)));
  options.progressive = true;
  ok &= Put(jpegs, "progressive", withOptions(0x01, velk::EncodeJpeg(colour, options)));
  options.progressive = false;
  options.grayScale = true;
  ok &= Put(jpegs, "grey", withOptions(0x10, velk::EncodeJpeg(colour, options)));

  ok &= Put(root + "/profile_file", "skins.ini",
            Bytes("; colours\r\n[Current]\r\nColor1=16776176\r\nSkin=skins/vlkskin1.bmp\r\n\r\n"
                  "[Settings]\r\nPath=\"/opt/velk/plugins/\"\r\nCount=0x1F\r\n"));
  ok &= Put(root + "/registry_hive", "hkcu.reg",
            Bytes("Windows Registry Editor Version 5.00\n\n"
                  "[HKEY_CURRENT_USER\\Software\\Velk's Software\\Velk's JPEG viewer]\n"
                  "\"Directory\"=\"/home/user/Pictures\"\n\"Zoom\"=dword:00000009\n"
                  "\"Loupezoom\"=\"1.5\"\n\"Data\"=hex:01,02,\\\n  03\n"));
  return ok ? 0 : 1;
}
