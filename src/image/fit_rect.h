#pragma once
// Where the zoomable view draws a picture: the largest rectangle with the picture's aspect
// ratio that fits the control, centred along the axis with room to spare.

namespace velk {

struct FitRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const FitRect&, const FitRect&) = default;
};

// A value rounded to the 40-bit significand of the 6-byte real the ratios are stored in.
long double RoundToReal48(long double value);

// Control size W x H, picture size PW x PH (both > 0). The ratios W/PW and H/PH are stored as
// 6-byte reals; the products are formed in extended precision and truncated toward zero.
FitRect ComputeFitRect(int controlWidth, int controlHeight, int pictureWidth, int pictureHeight);

}  // namespace velk
