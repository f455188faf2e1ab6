#include "image/tiff_reader.h"

#include <new>
#include <vector>

#include "image/tiff_decoders.h"
#include "image/tiff_format.h"
#include "image/tiff_pixels.h"
#include "photo/colour_profile.h"
#include "photo/orientation.h"

namespace velk {

namespace {

// Profiles larger than this are not real ones.
constexpr uint32_t kMaxProfileBytes = uint32_t(16) << 20;

TiffViewing ViewingOf(const TGraphicTiff& directory) {
  TiffViewing viewing;
  const auto orientation = directory.Value(tiff::kOrientation);
  if (orientation && ValidOrientation(int(*orientation))) viewing.orientation = int(*orientation);
  const TiffEntry* profile = directory.Entry(tiff::kIccProfile);
  const TFileTiff& file = directory.Owner();
  if (profile && (profile->type == tiff::kUndefined || profile->type == tiff::kByte) &&
      profile->count > 4 && profile->count <= kMaxProfileBytes) {
    const uint32_t offset = file.Get32(profile->value);
    if (uint64_t(offset) + profile->count > file.FileSize()) return viewing;
    viewing.profile.resize(profile->count);
    if (!file.Source()->ReadExactly(offset, viewing.profile.data(), profile->count))
      viewing.profile.clear();
  }
  return viewing;
}

}  // namespace

bool LoadTiffIntoBitmap(const std::string& path, Bitmap& bitmap) {
  TFileTiff file;
  file.SetFileName(path);
  return LoadTiffIntoBitmap(file, bitmap);
}

bool LoadTiffPhoto(const std::string& path, Bitmap& bitmap, bool applyOrientation,
                   bool convertProfile) {
  TFileTiff file;
  file.SetFileName(path);
  TiffViewing viewing;
  if (!LoadTiffIntoBitmap(file, bitmap, &viewing)) return false;
  if (convertProfile && !viewing.profile.empty()) ConvertBitmapToSrgb(bitmap, viewing.profile);
  if (applyOrientation) bitmap = Oriented(std::move(bitmap), viewing.orientation);
  return true;
}

bool LoadTiffIntoBitmap(const TFileTiff& file, Bitmap& bitmap, TiffViewing* viewing) {
  bitmap = Bitmap();
  if (!file.Valid()) {
    ShowTiffMessage("<" + file.FileName() + "> is not a valid TIFF file");
    return false;
  }
  if (file.DirectoryCount() == 0) {  // the header points to no directory
    ShowTiffMessage("<" + file.FileName() + "> holds no image");
    return false;
  }
  // Every directory is checked in chain order, so its messages come as each page's turn comes.
  std::vector<TiffImage> decodable;
  for (int i = 0; i < file.DirectoryCount(); ++i) {
    const TGraphicTiff& directory = file.Directory(i);
    const auto photometric = directory.Value(tiff::kPhotometric);
    if (!photometric) {
      ShowTiffMessage("Error reading tag Photometric interpretation");
      return false;
    }
    if (*photometric > tiff::kPalette) {
      ShowTiffMessage("Error evaluating Photometric interpretation: " + std::to_string(*photometric));
      return false;
    }
    if (auto image = CheckTiffDirectory(directory, *photometric)) decodable.push_back(*image);
  }
  // Each page would replace the one before, so only the last decodable page is read; should its
  // pixels fail to read after all, the page before it is what remains.
  for (auto image = decodable.rbegin(); image != decodable.rend(); ++image) {
    try {
      if (ReadTiffPixels(*file.Source(), *image, bitmap)) {
        if (viewing) *viewing = ViewingOf(*image->directory);
        return true;
      }
      ShowTiffMessage("Error reading image data");
    } catch (const std::bad_alloc&) {
      ShowTiffMessage("Out Of Memory ");
    }
  }
  return false;
}

}  // namespace velk
