#pragma once
// The extension blocks a frame carries, by GIF label: plain text (0x01), graphic control (0xF9),
// comment (0xFE) and application (0xFF). Application blocks named "NETSCAPE2.0" or "ANIMEXTS1.0"
// are loop extensions; other applications are kept as raw data.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velk {

class GIFByteReader;
class GIFByteWriter;

class TGIFExtension {
public:
  virtual ~TGIFExtension() = default;
  virtual uint8_t Label() const = 0;
  virtual std::unique_ptr<TGIFExtension> Clone() const = 0;
  // Reads the blocks that follow the label, up to and including the terminator.
  virtual void Load(GIFByteReader& reader) = 0;
  // Writes the introducer "!", the label, the blocks and the terminator.
  void Save(GIFByteWriter& writer) const;

protected:
  virtual void SaveBlocks(GIFByteWriter& writer) const = 0;
};

// Reads an extension after its introducer: the label picks the class. Throws
// GIFException("Unknown extension type") for a label other than the four above.
std::unique_ptr<TGIFExtension> ReadGIFExtension(GIFByteReader& reader);

enum class TDisposalMethod : uint8_t { None = 0, NoDisposal = 1, Background = 2, Previous = 3 };

class TGIFGraphicControlExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xF9;
  uint8_t disposal = 0;  // 0..7 as stored; see TDisposalMethod
  bool userInput = false;
  bool transparent = false;
  uint16_t delay = 0;  // in 1/100 s
  uint8_t transparentColorIndex = 0;

  TDisposalMethod Disposal() const { return TDisposalMethod(disposal); }
  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override;
  void Load(GIFByteReader& reader) override;

protected:
  void SaveBlocks(GIFByteWriter& writer) const override;
};

class TGIFTextExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0x01;
  uint16_t gridLeft = 0, gridTop = 0, gridWidth = 0, gridHeight = 0;
  uint8_t cellWidth = 0, cellHeight = 0, foregroundIndex = 0, backgroundIndex = 0;
  std::string text;

  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override;
  void Load(GIFByteReader& reader) override;

protected:
  void SaveBlocks(GIFByteWriter& writer) const override;
};

class TGIFCommentExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xFE;
  std::string text;

  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override;
  void Load(GIFByteReader& reader) override;

protected:
  void SaveBlocks(GIFByteWriter& writer) const override;
};

class TGIFApplicationExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xFF;
  std::array<char, 8> identifier{};
  std::array<uint8_t, 3> authentication{};

  uint8_t Label() const override { return kLabel; }
  // Identifier and authentication code as one text, e.g. "NETSCAPE2.0".
  std::string Name() const;
  void SetName(const std::string& name);
  void Load(GIFByteReader& reader) override;

protected:
  void SaveBlocks(GIFByteWriter& writer) const override;
  // The data sub-blocks after the identifier block (without the terminator).
  virtual void LoadData(const std::vector<std::vector<uint8_t>>& blocks) = 0;
  virtual std::vector<std::vector<uint8_t>> DataBlocks() const = 0;
};

// An application extension nobody here knows: its data sub-blocks kept as they were.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
  std::vector<std::vector<uint8_t>> blocks;
  std::unique_ptr<TGIFExtension> Clone() const override;

protected:
  void LoadData(const std::vector<std::vector<uint8_t>>& data) override { blocks = data; }
  std::vector<std::vector<uint8_t>> DataBlocks() const override { return blocks; }
};

// The loop extension: sub-block 1 holds the loop count (0 = endless), sub-block 2 a buffer size.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
  TGIFAppExtNSLoop() { SetName("NETSCAPE2.0"); }
  static bool IsLoopName(const std::string& name) {
    return name == "NETSCAPE2.0" || name == "ANIMEXTS1.0";
  }
  uint16_t loops = 0;
  uint32_t bufferSize = 0;
  bool hasLoops = true;
  bool hasBufferSize = false;

  std::unique_ptr<TGIFExtension> Clone() const override;

protected:
  // Throws GIFException("Invalid GIF data") for a sub-block too short for its id.
  void LoadData(const std::vector<std::vector<uint8_t>>& blocks) override;
  std::vector<std::vector<uint8_t>> DataBlocks() const override;
};

}  // namespace velk
