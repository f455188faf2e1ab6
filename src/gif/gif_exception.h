#pragma once
// Failures of the GIF codec, and the texts of its failures and warnings.
#include <functional>
#include <string>

#include "platform/errors.h"

namespace velk {

class GIFException : public EVelkError {
public:
  using EVelkError::EVelkError;
};

// Receives the texts of problems that do not stop the codec. Unset handlers keep them silent.
using GIFWarningHandler = std::function<void(const std::string& message)>;

namespace gif_messages {
inline constexpr const char* kInvalidSignature = "Invalid GIF signature";
inline constexpr const char* kPrematureEnd = "Premature end of data";
inline constexpr const char* kUnknownExtension = "Unknown extension type";
inline constexpr const char* kInvalidData = "Invalid GIF data";
inline constexpr const char* kCircularEntry = "Circular decoder table entry";
inline constexpr const char* kCodeTooLarge = "Code too large";
inline constexpr const char* kClearCodeTooLarge = "ClearCode too large";
inline constexpr const char* kStartIndexTooLarge = "StartIndex too large";
inline constexpr const char* kColorNotInTable = "Color not in color table";
inline constexpr const char* kUnsupportedVersion = "Unsupported GIF version";

inline constexpr const char* kUnknownBlockType = "Unknown GIF block type";
inline constexpr const char* kImageExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* kScreenWidthTooSmall = "Image width too small for contained frames";
inline constexpr const char* kScreenHeightTooSmall = "Image height too small for contained frames";
inline constexpr const char* kInvalidExtensionIntroducer = "Invalid extension introducer";
inline constexpr const char* kBitBufferUnderrun = "Decoder bit buffer under-run";
}  // namespace gif_messages

inline void GIFWarning(const GIFWarningHandler& handler, const char* message) {
  if (handler) handler(message);
}

}  // namespace velk
