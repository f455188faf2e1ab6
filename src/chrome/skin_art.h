#pragma once
// The default skin, drawn by code: the main window's skin picture (its cut-out areas in
// silver) and the toolbar glyphs (16 x 16 each; a strip holds the enabled and, for buttons
// that get disabled, the disabled look; the bottom-left pixel's colour is transparent).
#include <QImage>
#include <QRect>
#include <vector>

namespace velk {

enum class GlyphKind {
  Open, Clear, Refresh, FullScreen, Loupe, Options, Volume, Skins, Plugin, Convert, SlideShow, About
};

inline constexpr QRgb kGlyphTransparent = 0xFFFF00FF;  // fuchsia, never part of a glyph
inline constexpr QRgb kSkinTransparent = 0xFFC0C0C0;   // silver: cut out of the window

// The options dialog's list and plugin buttons.
enum class PageGlyphKind {
  Add, Remove, Clear, Preview, Play, PluginAdd, PluginRemove, PluginProperties, PluginStart
};

// glyphs = 1 (enabled look only) or 2 (enabled, then disabled).
QImage GlyphStrip(GlyphKind kind, int glyphs);
// A dark glyph for the light pages of the options dialog, enabled look only (16 x 16).
QImage PageGlyph(PageGlyphKind kind);
// The main window's skin of the given size: a rounded dark body with bands for the title and
// toolbar and sunken wells around the given rectangles; silver outside the body.
QImage MainSkin(QSize size, int titleHeight, int toolbarBottom, const std::vector<QRect>& wells);

}  // namespace velk
