#include "image/jpeg_errors.h"

#include <cstdlib>

namespace velk {

namespace {

// Indexed by code - kJpegFirstAddonMessage; a null entry formats as a bogus code.
const char* const kAddonMessages[] = {
    nullptr,
    "Unsupported BMP colormap format",
    "Only 8- and 24-bit BMP files are supported",
    "Invalid BMP file: bad header length",
    "Invalid BMP file: biPlanes not equal to 1",
    "BMP output must be grayscale or RGB",
    "Sorry, compressed BMPs not yet supported",
    "Empty BMP image",
    "Not a BMP file - does not start with BM",
    "Numeric value out of range in BMP file",
    "Invalid BMP colormap index",
    "Image too large to decode",
};
static_assert(sizeof(kAddonMessages) / sizeof(kAddonMessages[0]) ==
              kJpegLastAddonMessage - kJpegFirstAddonMessage + 1);

JpegErrorManager& Manager(j_common_ptr cinfo) {
  return *reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

[[noreturn]] void Leave(j_common_ptr cinfo) {
  JpegErrorManager& manager = Manager(cinfo);
  (*cinfo->err->format_message)(cinfo, manager.message);
  std::longjmp(manager.jump, 1);
}

void ErrorExit(j_common_ptr cinfo) { Leave(cinfo); }

// Warnings have level -1. The first one ends the call unless warnings are tolerated; trace
// messages are dropped.
void EmitMessage(j_common_ptr cinfo, int msgLevel) {
  if (msgLevel >= 0) return;
  JpegErrorManager& manager = Manager(cinfo);
  if (cinfo->err->num_warnings++ != 0) return;
  if (!manager.tolerateWarnings) Leave(cinfo);
  (*cinfo->err->format_message)(cinfo, manager.firstWarning);
}

void OutputMessage(j_common_ptr) {}  // nothing goes to stderr from a GUI program

}  // namespace

jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager& manager) {
  jpeg_error_mgr* err = jpeg_std_error(&manager.pub);
  err->error_exit = ErrorExit;
  err->emit_message = EmitMessage;
  err->output_message = OutputMessage;
  err->trace_level = 0;
  err->addon_message_table = kAddonMessages;
  err->first_addon_message = kJpegFirstAddonMessage;
  err->last_addon_message = kJpegLastAddonMessage;
  manager.message[0] = '\0';
  manager.firstWarning[0] = '\0';
  return err;
}

void JpegFail(j_common_ptr cinfo, int code) {
  cinfo->err->msg_code = code;
  (*cinfo->err->error_exit)(cinfo);
  std::abort();  // error_exit never returns
}

}  // namespace velk
