#pragma once
// Turning and mirroring a JPEG file for good without decoding it: its DCT coefficients are
// moved as jpegtran does (through TurboJPEG), every marker kept, and the picture's EXIF
// Orientation folded in and set to 1. Where the size is not a whole number of MCU blocks a
// coefficient turn would lose the partial blocks at the edge: the turn is then written into
// the EXIF Orientation instead (an EXIF segment is added where there is none).
#include <cstdint>
#include <vector>

namespace velk {

enum class Turn { Clockwise, Anticlockwise, MirrorLeftRight, MirrorTopBottom };

// The turn that undoes a turn.
Turn Inverse(Turn turn);

// The file's bytes, turned as the picture is seen (its EXIF Orientation applied first).
// Throws EJPEGException for bytes TurboJPEG cannot read.
std::vector<uint8_t> TurnJpeg(const std::vector<uint8_t>& jpeg, Turn turn);

}  // namespace velk
