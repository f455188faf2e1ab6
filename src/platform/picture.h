#pragma once
// The framework's picture object: holds nothing, a bitmap or another graphic; assignment copies
// the graphic; every change notifies the owner; loading picks the reader by the extension.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/graphic.h"

namespace velk {

class BitmapGraphic;

class Picture {
public:
  Picture() = default;
  Picture(const Picture& other);
  Picture& operator=(const Picture& other);  // copies the graphic, keeps this OnChange
  ~Picture();

  // Raised after every change of the graphic or its contents.
  std::function<void()> OnChange;
  // Counts those changes: an unchanged count means the same contents.
  uint64_t Generation() const { return generation_; }

  Graphic* GetGraphic() const { return graphic_.get(); }
  bool HasGraphic() const { return graphic_ != nullptr; }
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Takes ownership of a graphic (nullptr empties the picture).
  void SetGraphic(std::unique_ptr<Graphic> graphic);
  // Holds a copy of the given graphic.
  void AssignGraphic(const Graphic& graphic) { SetGraphic(graphic.Clone()); }
  void Assign(const Picture& other) { *this = other; }
  void Clear() { SetGraphic(nullptr); }

  // Holds this bitmap from now on.
  void SetBitmap(velk::Bitmap bitmap);
  // The held bitmap; a picture holding another graphic (or nothing) is made to hold that
  // graphic's bitmap (or an empty one) first.
  BitmapGraphic& ForceBitmap();
  const velk::Bitmap& Bitmap();

  // Loads a file by its extension (case-insensitive). Throws EInvalidGraphic for an unknown
  // extension ("Unknown picture file extension (.xyz)") and the reader's errors otherwise;
  // on failure the picture keeps what it held.
  void LoadFromFile(const std::string& path);

  using Loader = std::function<std::unique_ptr<Graphic>(const std::string& path)>;
  // Registers the reader of an extension given without the dot ("bmp"); "bmp" is built in.
  static void RegisterFileFormat(const std::string& extension, Loader loader);

private:
  void AdoptGraphic(std::unique_ptr<Graphic> graphic);
  void Changed() const {
    ++generation_;
    if (OnChange) OnChange();
  }
  std::unique_ptr<Graphic> graphic_;
  mutable uint64_t generation_ = 0;
};

}  // namespace velk
