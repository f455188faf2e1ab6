#include "gif/gif_extension.h"

#include <algorithm>

#include "gif/gif_bytes.h"
#include "gif/gif_exception.h"

namespace velk {

namespace {
// The data sub-blocks up to the terminator, each kept apart.
std::vector<std::vector<uint8_t>> ReadBlockList(GIFByteReader& reader) {
  std::vector<std::vector<uint8_t>> blocks;
  for (;;) {
    std::vector<uint8_t> block;
    if (reader.SubBlock(block) == 0) return blocks;
    blocks.push_back(std::move(block));
  }
}

// The first sub-block (the fixed part of an extension), zero-padded to size; the rest appended
// to rest when given, else skipped.
std::vector<uint8_t> ReadFixedBlock(GIFByteReader& reader, size_t size, std::string* rest) {
  std::vector<uint8_t> fixed;
  const bool more = reader.SubBlock(fixed) != 0;
  fixed.resize(std::max(fixed.size(), size), 0);
  if (more) {
    std::vector<uint8_t> data;
    reader.SubBlocks(data);
    if (rest) rest->assign(data.begin(), data.end());
  }
  return fixed;
}

void WriteText(GIFByteWriter& writer, const std::string& text) {
  writer.SubBlocks(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}
}  // namespace

void TGIFExtension::Save(GIFByteWriter& writer) const {
  writer.Byte('!');
  writer.Byte(Label());
  SaveBlocks(writer);
}

std::unique_ptr<TGIFExtension> ReadGIFExtension(GIFByteReader& reader) {
  std::unique_ptr<TGIFExtension> extension;
  switch (reader.Byte()) {
    case TGIFGraphicControlExtension::kLabel:
      extension = std::make_unique<TGIFGraphicControlExtension>();
      break;
    case TGIFTextExtension::kLabel:
      extension = std::make_unique<TGIFTextExtension>();
      break;
    case TGIFCommentExtension::kLabel:
      extension = std::make_unique<TGIFCommentExtension>();
      break;
    case TGIFApplicationExtension::kLabel: {
      // The identifier block decides between the loop extension and an unknown application.
      const size_t start = reader.Position();
      std::vector<uint8_t> id;
      reader.SubBlock(id);
      reader.Seek(start);
      const std::string name(id.begin(), id.begin() + long(std::min<size_t>(id.size(), 11)));
      if (TGIFAppExtNSLoop::IsLoopName(name))
        extension = std::make_unique<TGIFAppExtNSLoop>();
      else
        extension = std::make_unique<TGIFUnknownAppExtension>();
      break;
    }
    default:
      throw GIFException(gif_messages::kUnknownExtension);
  }
  extension->Load(reader);
  return extension;
}

// Graphic control: one 4-byte block (packed, delay, transparent index).
std::unique_ptr<TGIFExtension> TGIFGraphicControlExtension::Clone() const {
  return std::make_unique<TGIFGraphicControlExtension>(*this);
}

void TGIFGraphicControlExtension::Load(GIFByteReader& reader) {
  const std::vector<uint8_t> block = ReadFixedBlock(reader, 4, nullptr);
  disposal = (block[0] >> 2) & 7;
  userInput = block[0] & 2;
  transparent = block[0] & 1;
  delay = uint16_t(block[1] | (block[2] << 8));
  transparentColorIndex = block[3];
}

void TGIFGraphicControlExtension::SaveBlocks(GIFByteWriter& writer) const {
  writer.Byte(4);
  writer.Byte(uint8_t(((disposal & 7) << 2) | (userInput ? 2 : 0) | (transparent ? 1 : 0)));
  writer.Word(delay);
  writer.Byte(transparentColorIndex);
  writer.Byte(0);
}

// Plain text: a 12-byte text grid block, then the text.
std::unique_ptr<TGIFExtension> TGIFTextExtension::Clone() const {
  return std::make_unique<TGIFTextExtension>(*this);
}

void TGIFTextExtension::Load(GIFByteReader& reader) {
  const std::vector<uint8_t> b = ReadFixedBlock(reader, 12, &text);
  gridLeft = uint16_t(b[0] | (b[1] << 8));
  gridTop = uint16_t(b[2] | (b[3] << 8));
  gridWidth = uint16_t(b[4] | (b[5] << 8));
  gridHeight = uint16_t(b[6] | (b[7] << 8));
  cellWidth = b[8];
  cellHeight = b[9];
  foregroundIndex = b[10];
  backgroundIndex = b[11];
}

void TGIFTextExtension::SaveBlocks(GIFByteWriter& writer) const {
  writer.Byte(12);
  for (uint16_t word : {gridLeft, gridTop, gridWidth, gridHeight}) writer.Word(word);
  for (uint8_t byte : {cellWidth, cellHeight, foregroundIndex, backgroundIndex}) writer.Byte(byte);
  WriteText(writer, text);
}

std::unique_ptr<TGIFExtension> TGIFCommentExtension::Clone() const {
  return std::make_unique<TGIFCommentExtension>(*this);
}

void TGIFCommentExtension::Load(GIFByteReader& reader) {
  std::vector<uint8_t> data;
  reader.SubBlocks(data);
  text.assign(data.begin(), data.end());
}

void TGIFCommentExtension::SaveBlocks(GIFByteWriter& writer) const { WriteText(writer, text); }

// Application: an 11-byte identifier block, then the application's data sub-blocks.
std::string TGIFApplicationExtension::Name() const {
  std::string name(identifier.begin(), identifier.end());
  name.append(authentication.begin(), authentication.end());
  return name;
}

void TGIFApplicationExtension::SetName(const std::string& name) {
  identifier.fill(0);
  authentication.fill(0);
  for (size_t i = 0; i < name.size() && i < 11; ++i) {
    if (i < 8)
      identifier[i] = name[i];
    else
      authentication[i - 8] = uint8_t(name[i]);
  }
}

void TGIFApplicationExtension::Load(GIFByteReader& reader) {
  std::vector<uint8_t> id;
  const bool more = reader.SubBlock(id) != 0;
  SetName(std::string(id.begin(), id.end()));
  LoadData(more ? ReadBlockList(reader) : std::vector<std::vector<uint8_t>>());
}

void TGIFApplicationExtension::SaveBlocks(GIFByteWriter& writer) const {
  writer.Byte(11);
  writer.Bytes(identifier.data(), identifier.size());
  writer.Bytes(authentication.data(), authentication.size());
  for (const std::vector<uint8_t>& block : DataBlocks()) {
    writer.Byte(uint8_t(block.size()));
    writer.Bytes(block.data(), block.size());
  }
  writer.Byte(0);
}

std::unique_ptr<TGIFExtension> TGIFUnknownAppExtension::Clone() const {
  return std::make_unique<TGIFUnknownAppExtension>(*this);
}

std::unique_ptr<TGIFExtension> TGIFAppExtNSLoop::Clone() const {
  return std::make_unique<TGIFAppExtNSLoop>(*this);
}

void TGIFAppExtNSLoop::LoadData(const std::vector<std::vector<uint8_t>>& blocks) {
  hasLoops = hasBufferSize = false;
  for (const std::vector<uint8_t>& b : blocks) {
    if (b[0] == 1) {
      if (b.size() < 3) throw GIFException(gif_messages::kInvalidData);
      loops = uint16_t(b[1] | (b[2] << 8));
      hasLoops = true;
    } else if (b[0] == 2) {
      if (b.size() < 5) throw GIFException(gif_messages::kInvalidData);
      bufferSize =
          uint32_t(b[1]) | uint32_t(b[2]) << 8 | uint32_t(b[3]) << 16 | uint32_t(b[4]) << 24;
      hasBufferSize = true;
    }
  }
}

std::vector<std::vector<uint8_t>> TGIFAppExtNSLoop::DataBlocks() const {
  std::vector<std::vector<uint8_t>> blocks;
  if (hasLoops) blocks.push_back({1, uint8_t(loops & 0xFF), uint8_t(loops >> 8)});
  if (hasBufferSize)
    blocks.push_back({2, uint8_t(bufferSize), uint8_t(bufferSize >> 8), uint8_t(bufferSize >> 16),
                      uint8_t(bufferSize >> 24)});
  return blocks;
}

}  // namespace velk
