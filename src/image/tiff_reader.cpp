#include "image/tiff_reader.h"

#include <new>
#include <vector>

#include "image/tiff_decoders.h"
#include "image/tiff_format.h"
#include "image/tiff_pixels.h"

namespace velk {

bool LoadTiffIntoBitmap(const std::string& path, Bitmap& bitmap) {
  TFileTiff file;
  file.SetFileName(path);
  return LoadTiffIntoBitmap(file, bitmap);
}

bool LoadTiffIntoBitmap(const TFileTiff& file, Bitmap& bitmap) {
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
      if (ReadTiffPixels(*file.Source(), *image, bitmap)) return true;
      ShowTiffMessage("Error reading image data");
    } catch (const std::bad_alloc&) {
      ShowTiffMessage("Out Of Memory ");
    }
  }
  return false;
}

}  // namespace velk
