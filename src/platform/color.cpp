#include "platform/color.h"

#include <array>

namespace velk {

namespace {
SystemColorResolver& Resolver() {
  static SystemColorResolver resolver = ClassicSystemColor;
  return resolver;
}
}  // namespace

TColor ClassicSystemColor(int index) {
  // The classic Windows scheme, used where no desktop palette is available.
  static constexpr std::array<TColor, COLOR_SYSTEM_COUNT> classic = {
      RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
      RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
      RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
      RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
      RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
      RGB(255, 255, 225)};
  return index >= 0 && index < COLOR_SYSTEM_COUNT ? classic[size_t(index)] : clBlack;
}

void InstallSystemColorResolver(SystemColorResolver resolver) {
  Resolver() = resolver ? std::move(resolver) : SystemColorResolver(ClassicSystemColor);
}

TColor ColorToRGB(TColor color) {
  if (!IsSystemColor(color)) return color & 0x00FFFFFFu;
  const int index = int(color & 0xFF);
  // Only indices in the low byte exist; anything else in the flagged range is not a colour.
  if ((color & 0x7FFFFF00u) != 0 || index >= COLOR_SYSTEM_COUNT) return clBlack;
  return Resolver()(index) & 0x00FFFFFFu;
}

}  // namespace velk
