#include "gif/gif_format.h"

#include "gif/gif_image.h"
#include "platform/picture.h"

namespace velk {

void RegisterGifFormat() {
  Picture::RegisterFileFormat(kGIFExtension,
                              [](const std::string& path) -> std::unique_ptr<Graphic> {
                                auto image = std::make_unique<TGIFImage>();
                                image->LoadFromFile(path);
                                return image;
                              });
}

}  // namespace velk
