#pragma once
// Failures are exceptions that carry the message text shown to the user.
#include <stdexcept>
#include <string>

namespace velk {

// Base of every failure the program raises with a message of its own.
class EVelkError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A picture file that cannot be read ("Bitmap image is not valid", ...).
class EInvalidGraphic : public EVelkError {
public:
  using EVelkError::EVelkError;
};

// A file that cannot be opened, read or written.
class EFileError : public EVelkError {
public:
  using EVelkError::EVelkError;
};

// The text a failure shows: its own message, "Out of memory" for a failed allocation.
std::string MessageOf(const std::exception& error);

// printf-style formatting of one message argument into a message text ("... '%s'").
std::string FormatMessage(const char* pattern, const std::string& argument);

}  // namespace velk
