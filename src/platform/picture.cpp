#include "platform/picture.h"

#include <map>

#include "platform/bitmap_graphic.h"
#include "platform/bmp_codec.h"
#include "platform/errors.h"
#include "platform/file_path.h"

namespace velk {

namespace {
std::map<std::string, Picture::Loader>& Loaders() {
  static std::map<std::string, Picture::Loader> loaders = {
      {"bmp", [](const std::string& path) -> std::unique_ptr<Graphic> {
         return std::make_unique<BitmapGraphic>(LoadBmpFile(path));
       }}};
  return loaders;
}
}  // namespace

Picture::Picture(const Picture& other) {
  if (other.graphic_) AdoptGraphic(other.graphic_->Clone());
}

Picture& Picture::operator=(const Picture& other) {
  if (this != &other) SetGraphic(other.graphic_ ? other.graphic_->Clone() : nullptr);
  return *this;
}

Picture::~Picture() = default;

void Picture::AdoptGraphic(std::unique_ptr<Graphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this] { Changed(); };
}

void Picture::SetGraphic(std::unique_ptr<Graphic> graphic) {
  AdoptGraphic(std::move(graphic));
  Changed();
}

void Picture::SetBitmap(velk::Bitmap bitmap) {
  SetGraphic(std::make_unique<BitmapGraphic>(std::move(bitmap)));
}

BitmapGraphic& Picture::ForceBitmap() {
  if (auto* held = dynamic_cast<BitmapGraphic*>(graphic_.get())) return *held;
  SetBitmap(graphic_ ? graphic_->ToBitmap() : velk::Bitmap());
  return static_cast<BitmapGraphic&>(*graphic_);
}

const velk::Bitmap& Picture::Bitmap() { return ForceBitmap().GetBitmap(); }

void Picture::LoadFromFile(const std::string& path) {
  const std::string extension = LowerFileExt(path);
  const auto found = Loaders().find(extension);
  if (found == Loaders().end())
    throw EInvalidGraphic(FormatMessage("Unknown picture file extension (.%s)", extension));
  SetGraphic(found->second(path));
}

void Picture::RegisterFileFormat(const std::string& extension, Loader loader) {
  Loaders()[AsciiLower(extension)] = std::move(loader);
}

}  // namespace velk
