#include "image/fit_rect.h"

#include <cmath>

namespace velk {

long double RoundToReal48(long double value) {
  if (value == 0 || !std::isfinite(value)) return value;
  int exponent = 0;
  const long double mantissa = std::frexp(value, &exponent);  // [0.5, 1)
  // 40 significant bits: 1 hidden + 39 stored; rounded to nearest.
  return std::ldexp(std::nearbyint(std::ldexp(mantissa, 40)), exponent - 40);
}

FitRect ComputeFitRect(int controlWidth, int controlHeight, int pictureWidth, int pictureHeight) {
  const long double xr = RoundToReal48((long double)controlWidth / pictureWidth);
  const long double yr = RoundToReal48((long double)controlHeight / pictureHeight);
  FitRect r;
  if (xr > yr) {  // the height limits the size
    r.top = 0;
    r.bottom = controlHeight;
    const int w = int(std::trunc(pictureWidth * yr));
    r.left = (controlWidth - w) / 2;
    r.right = r.left + w;
  } else {  // the width limits it; equal ratios come here
    r.left = 0;
    r.right = controlWidth;
    const int h = int(std::trunc(pictureHeight * xr));
    r.top = (controlHeight - h) / 2;
    r.bottom = r.top + h;
  }
  return r;
}

}  // namespace velk
