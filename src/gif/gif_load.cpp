// Reading a GIF file into GIFImageData.
#include <cctype>
#include <istream>
#include <iterator>

#include "gif/gif_bytes.h"
#include "gif/gif_image_data.h"
#include "platform/atomic_file.h"

namespace velk {

namespace {
bool SignatureAt(const uint8_t* data, size_t size, size_t offset) {
  if (size < offset + 6) return false;
  for (size_t i = 0; i < 3; ++i)
    if (std::toupper(data[offset + i]) != "GIF"[i]) return false;
  return true;
}
}  // namespace

size_t GIFImageData::LoadFromMemory(const uint8_t* data, size_t size) {
  Clear();
  // "GIF" (any case) at the start, or 4 bytes further on; the version letters are not checked.
  size_t start = 0;
  if (!SignatureAt(data, size, 0)) {
    if (!SignatureAt(data, size, 4)) {
      if (size < 6) throw GIFException(gif_messages::kPrematureEnd);
      throw GIFException(gif_messages::kInvalidSignature);
    }
    start = 4;
  }
  GIFByteReader reader(data + start, size - start);
  reader.Take(6);
  header_.Load(reader);

  std::vector<std::unique_ptr<TGIFExtension>> pending;  // extensions before the next frame
  for (;;) {
    const uint8_t block = reader.Byte();
    if (block == 0) continue;
    if (block == ';') break;
    if (block == '!') {
      pending.push_back(ReadGIFExtension(reader));
    } else if (block == ',') {
      TGIFSubImage frame;
      for (auto& extension : pending) frame.AddExtension(std::move(extension));
      pending.clear();
      frame.Load(reader, header_, OnWarning);
      images_.push_back(std::move(frame));
    } else {
      GIFWarning(OnWarning, gif_messages::kUnknownBlockType);
      break;
    }
  }
  Changed();
  return start + reader.Position();
}

void GIFImageData::LoadFromStream(std::istream& stream) {
  const std::istream::pos_type start = stream.tellg();
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(stream),
                                   std::istreambuf_iterator<char>()};
  stream.clear();
  try {
    const size_t used = LoadFromMemory(bytes.data(), bytes.size());
    if (start != std::istream::pos_type(-1)) stream.seekg(start + std::streamoff(used));
  } catch (...) {
    if (start != std::istream::pos_type(-1)) stream.seekg(start);
    throw;
  }
}

void GIFImageData::LoadFromFile(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  if (!bytes) throw EFileError("Cannot open file \"" + path + "\".");
  LoadFromMemory(bytes->data(), bytes->size());
}

}  // namespace velk
