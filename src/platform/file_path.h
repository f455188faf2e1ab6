#pragma once
// Path helpers with the program's rules: "/" separators; the extension is the part after the
// last "." that follows the last "/".
#include <string>

namespace velk {

// The extension without the dot ("" when there is none).
std::string ExtractFileExt(const std::string& path);
// The extension lower-cased (ASCII), without the dot.
std::string LowerFileExt(const std::string& path);
// Everything up to and including the last "/" ("" when there is none).
std::string ExtractFilePath(const std::string& path);
// Everything after the last "/".
std::string ExtractFileName(const std::string& path);
std::string AsciiLower(std::string text);
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

}  // namespace velk
