#pragma once
// Colours as 32-bit values: 0x00BBGGRR, or 0x80000000 plus the index of a system colour. A
// system colour is turned into its current RGB first wherever channels are read or compared.
#include <cstdint>
#include <functional>

namespace velk {

using TColor = uint32_t;

inline constexpr TColor kSystemColorFlag = 0x80000000u;

// The Windows system-colour indices the program uses.
enum SystemColorIndex : int {
  COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11,
  COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24, COLOR_SYSTEM_COUNT = 25
};

// Named colours of the framework.
inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                        clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                        clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0,
                        clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                        clWhite = 0xFFFFFF;
inline constexpr TColor clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = kSystemColorFlag | COLOR_BTNSHADOW;
inline constexpr TColor clBtnHighlight = kSystemColorFlag | COLOR_BTNHIGHLIGHT;
inline constexpr TColor clHighlight = kSystemColorFlag | COLOR_HIGHLIGHT;
inline constexpr TColor clWindow = kSystemColorFlag | COLOR_WINDOW;
inline constexpr TColor clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;

constexpr bool IsSystemColor(TColor c) { return (c & kSystemColorFlag) != 0; }
constexpr uint8_t GetRValue(TColor c) { return uint8_t(c); }
constexpr uint8_t GetGValue(TColor c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(TColor c) { return uint8_t(c >> 16); }
constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

// Maps a system-colour index to its current COLORREF. The user interface installs one that
// reads the desktop palette; until then the classic Windows defaults answer.
using SystemColorResolver = std::function<TColor(int index)>;
void InstallSystemColorResolver(SystemColorResolver resolver);
TColor ClassicSystemColor(int index);

// A COLORREF for any colour value (system colours resolved; an unknown index gives black).
TColor ColorToRGB(TColor color);

}  // namespace velk
