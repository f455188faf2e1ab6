#pragma once
// The GIF file format in the program's picture loading.
namespace velk {

inline constexpr const char* kGIFExtension = "GIF";
inline constexpr const char* kGIFDescription = "GIF Image";
// The name the format goes by on the clipboard.
inline constexpr const char* kGIFClipboardFormat = "GIF Image";

// Makes Picture::LoadFromFile read ".gif" files into a TGIFImage. Called once at start-up.
void RegisterGifFormat();

}  // namespace velk
