#pragma once
// libjpeg error handling for the codec: fatal errors and the first warning end the libjpeg
// call with a longjmp, carrying libjpeg's formatted message. Also our own message codes
// (the BMP reader's and the output checks'), formatted by libjpeg like its own.
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // before jpeglib.h, which uses FILE and size_t

#include <jpeglib.h>

namespace velk {

// Message codes following libjpeg's own; an unknown code formats as "Bogus message code %d".
enum JpegAddonMessage : int {
  kJpegFirstAddonMessage = 1000,  // no text: the table starts here
  JERR_BMP_BADCMAP,
  JERR_BMP_BADDEPTH,
  JERR_BMP_BADHEADER,
  JERR_BMP_BADPLANES,
  JERR_BMP_COLORSPACE,
  JERR_BMP_COMPRESSED,
  JERR_BMP_EMPTY,
  JERR_BMP_NOT,
  JERR_BMP_OUTOFRANGE,
  JERR_BMP_CMAP_INDEX,
  JERR_OUTPUT_TOO_LARGE,
  kJpegLastAddonMessage = JERR_OUTPUT_TOO_LARGE,
};

// Standard-layout with libjpeg's manager first, so cinfo->err leads back to the whole.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;              // set by the caller before any libjpeg call
  char message[JMSG_LENGTH_MAX];  // the formatted text once jump was taken
  bool tolerateWarnings = false;  // warnings are counted and the call goes on
  char firstWarning[JMSG_LENGTH_MAX];  // the first warning's text when tolerated
};

// Sets up libjpeg's standard manager with trace level 0, our exits and our message table.
jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager& manager);

// Raises one of our codes through libjpeg's error path (like ERREXIT).
[[noreturn]] void JpegFail(j_common_ptr cinfo, int code);

}  // namespace velk
