#include "chrome/skin_art.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace velk {

namespace {

constexpr int kGlyph = 16;

// Each glyph in plain shapes on a 16 x 16 grid, no smoothing: blended edges would turn the
// transparent colour into a visible fringe.
void DrawGlyph(QPainter& p, GlyphKind kind, const QColor& ink, const QColor& accent) {
  p.setPen(QPen(ink, 1));
  p.setBrush(Qt::NoBrush);
  switch (kind) {
    case GlyphKind::Open:  // a folder with a play arrow
      p.setBrush(accent);
      p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(6, 4), QPoint(7, 5), QPoint(14, 5),
                              QPoint(14, 13), QPoint(1, 13)}));
      p.setBrush(ink);
      p.drawPolygon(QPolygon({QPoint(6, 7), QPoint(10, 9), QPoint(6, 11)}));
      break;
    case GlyphKind::Clear:  // a sheet with a cross
      p.drawRect(2, 2, 11, 11);
      p.setPen(QPen(accent, 2));
      p.drawLine(5, 5, 10, 10);
      p.drawLine(10, 5, 5, 10);
      break;
    case GlyphKind::Refresh:  // a circular arrow
      p.setPen(QPen(accent, 2));
      p.drawArc(3, 3, 10, 10, 60 * 16, 280 * 16);
      p.setPen(QPen(ink, 1));
      p.setBrush(ink);
      p.drawPolygon(QPolygon({QPoint(9, 1), QPoint(13, 4), QPoint(9, 6)}));
      break;
    case GlyphKind::FullScreen:  // four corners pointing out
      p.setPen(QPen(ink, 2));
      for (const auto& [x, y, dx, dy] : {std::tuple{2, 2, 1, 1}, std::tuple{13, 2, -1, 1},
                                         std::tuple{2, 13, 1, -1}, std::tuple{13, 13, -1, -1}}) {
        p.drawLine(x, y, x + 3 * dx, y);
        p.drawLine(x, y, x, y + 3 * dy);
      }
      p.fillRect(6, 6, 4, 4, accent);
      break;
    case GlyphKind::Loupe:  // a magnifying glass
      p.setPen(QPen(ink, 2));
      p.drawEllipse(2, 2, 8, 8);
      p.drawLine(10, 10, 14, 14);
      p.fillRect(5, 5, 3, 3, accent);
      break;
    case GlyphKind::Options:  // three sliders
      for (int i = 0; i < 3; ++i) {
        p.drawLine(2, 4 + i * 4, 13, 4 + i * 4);
        p.fillRect(3 + ((i * 5) % 9), 3 + i * 4, 3, 3, accent);
      }
      break;
    case GlyphKind::Volume:  // a speaker with waves
      p.setBrush(accent);
      p.drawPolygon(QPolygon({QPoint(1, 6), QPoint(4, 6), QPoint(8, 2), QPoint(8, 13),
                              QPoint(4, 9), QPoint(1, 9)}));
      p.drawArc(7, 4, 6, 7, -60 * 16, 120 * 16);
      p.drawArc(7, 2, 8, 11, -60 * 16, 120 * 16);
      break;
    case GlyphKind::Skins:  // a palette
      p.setBrush(QColor(ink).darker(160));
      p.drawEllipse(1, 2, 13, 11);
      p.fillRect(4, 5, 2, 2, QColor(230, 70, 60));
      p.fillRect(8, 4, 2, 2, QColor(250, 210, 60));
      p.fillRect(10, 8, 2, 2, QColor(80, 170, 240));
      p.fillRect(5, 9, 2, 2, accent);
      break;
    case GlyphKind::Plugin:  // a plug
      p.setBrush(accent);
      p.drawRect(4, 5, 7, 6);
      p.drawLine(6, 1, 6, 5);
      p.drawLine(9, 1, 9, 5);
      p.drawLine(7, 11, 7, 14);
      break;
    case GlyphKind::Convert:  // two arrows, each way
      p.setBrush(accent);
      p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(10, 4), QPoint(10, 1), QPoint(14, 5),
                              QPoint(10, 9), QPoint(10, 6), QPoint(1, 6)}));
      p.setBrush(ink);
      p.drawPolygon(QPolygon({QPoint(14, 10), QPoint(5, 10), QPoint(5, 7), QPoint(1, 11),
                              QPoint(5, 14), QPoint(5, 12), QPoint(14, 12)}));
      break;
    case GlyphKind::SlideShow:  // a screen on a stand with a picture
      p.drawRect(1, 2, 13, 9);
      p.fillRect(3, 4, 10, 6, accent);
      p.drawLine(7, 11, 7, 14);
      p.drawLine(4, 14, 11, 14);
      break;
    case GlyphKind::About:  // a smiley
      p.setBrush(QColor(250, 210, 60));
      p.drawEllipse(1, 1, 13, 13);
      p.fillRect(5, 5, 2, 2, Qt::black);
      p.fillRect(9, 5, 2, 2, Qt::black);
      p.setPen(QPen(Qt::black, 1));
      p.drawArc(4, 5, 8, 6, 200 * 16, 140 * 16);
      break;
  }
}

const QColor kPageInk(40, 44, 52), kPageAccent(30, 110, 200), kGreen(40, 140, 60),
    kRed(190, 50, 40);

void DrawPlus(QPainter& p, QRect box, const QColor& colour) {
  const int mid = box.width() / 2 - 1;
  p.fillRect(box.left() + mid, box.top(), 2, box.height(), colour);
  p.fillRect(box.left(), box.top() + mid, box.width(), 2, colour);
}

void DrawMinus(QPainter& p, QRect box, const QColor& colour) {
  p.fillRect(box.left(), box.top() + box.height() / 2 - 1, box.width(), 2, colour);
}

void DrawPlay(QPainter& p, QRect box, const QColor& colour) {
  p.setPen(QPen(colour, 1));
  p.setBrush(colour);
  p.drawPolygon(QPolygon({box.topLeft(), QPoint(box.right(), box.center().y()),
                          box.bottomLeft()}));
}

// The plug of the plugin glyph, moved up and left to leave the lower right corner to a badge.
void DrawPlugWithBadge(QPainter& p, void (*badge)(QPainter&, QRect, const QColor&),
                       const QColor& colour) {
  p.save();
  p.translate(-3, -1);
  DrawGlyph(p, GlyphKind::Plugin, kPageInk, kPageAccent);
  p.restore();
  const QRect corner(8, 8, 8, 8);
  p.fillRect(corner, kGlyphTransparent);
  badge(p, corner.adjusted(1, 1, -1, -1), colour);
}

}  // namespace

QImage PageGlyph(PageGlyphKind kind) {
  QImage glyph(kGlyph, kGlyph, QImage::Format_RGB32);
  glyph.fill(kGlyphTransparent);
  QPainter p(&glyph);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QRect box(2, 2, 12, 12);
  switch (kind) {
    case PageGlyphKind::Add: DrawPlus(p, box, kGreen); break;
    case PageGlyphKind::Remove: DrawMinus(p, box, kRed); break;
    case PageGlyphKind::Clear: DrawGlyph(p, GlyphKind::Clear, kPageInk, kRed); break;
    case PageGlyphKind::Preview: DrawGlyph(p, GlyphKind::FullScreen, kPageInk, kPageAccent); break;
    case PageGlyphKind::Play: DrawPlay(p, QRect(4, 2, 9, 12), kGreen); break;
    case PageGlyphKind::PluginAdd: DrawPlugWithBadge(p, DrawPlus, kGreen); break;
    case PageGlyphKind::PluginRemove: DrawPlugWithBadge(p, DrawMinus, kRed); break;
    case PageGlyphKind::PluginProperties:
      DrawGlyph(p, GlyphKind::Options, kPageInk, kPageAccent);
      break;
    case PageGlyphKind::PluginStart: DrawPlugWithBadge(p, DrawPlay, kGreen); break;
  }
  p.end();
  glyph.setPixel(0, kGlyph - 1, kGlyphTransparent);  // the corner names the transparent colour
  return glyph;
}

QImage GlyphStrip(GlyphKind kind, int glyphs) {
  QImage strip(kGlyph * glyphs, kGlyph, QImage::Format_RGB32);
  strip.fill(kGlyphTransparent);
  QPainter painter(&strip);
  painter.setRenderHint(QPainter::Antialiasing, false);
  DrawGlyph(painter, kind, QColor(235, 238, 245), QColor(90, 170, 250));
  if (glyphs > 1) {
    painter.translate(kGlyph, 0);
    DrawGlyph(painter, kind, QColor(96, 100, 110), QColor(70, 74, 84));
  }
  painter.end();
  strip.setPixel(0, kGlyph - 1, kGlyphTransparent);  // the corner names the transparent colour
  return strip;
}

QImage MainSkin(QSize size, int titleHeight, int toolbarBottom, const std::vector<QRect>& wells) {
  QImage skin(size, QImage::Format_RGB32);
  skin.fill(kSkinTransparent);
  QPainter p(&skin);
  p.setRenderHint(QPainter::Antialiasing, false);  // no blended pixels at the cut-out edge
  QPainterPath body;
  body.addRoundedRect(QRectF(0, 0, size.width() - 1, size.height() - 1), 12, 12);
  QLinearGradient shade(0, 0, 0, size.height());
  shade.setColorAt(0, QColor(46, 51, 64));
  shade.setColorAt(1, QColor(20, 22, 30));
  p.fillPath(body, shade);
  p.setClipPath(body);
  p.fillRect(0, 0, size.width(), titleHeight, QColor(0, 0, 1));
  QLinearGradient bar(0, titleHeight, 0, toolbarBottom);
  bar.setColorAt(0, QColor(14, 16, 22));
  bar.setColorAt(1, QColor(4, 5, 8));
  p.fillRect(0, titleHeight, size.width(), toolbarBottom - titleHeight, bar);
  p.setPen(QColor(70, 120, 200));
  p.drawLine(0, toolbarBottom - 1, size.width(), toolbarBottom - 1);
  // Sunken wells: dark inside, a shadow above and to the left, a light edge below and right.
  for (const QRect& well : wells) {
    const QRect frame = well.adjusted(-2, -2, 1, 1);
    p.fillRect(frame, QColor(10, 11, 15));
    p.setPen(QColor(8, 9, 12));
    p.drawLine(frame.topLeft(), frame.topRight());
    p.drawLine(frame.topLeft(), frame.bottomLeft());
    p.setPen(QColor(88, 96, 116));
    p.drawLine(frame.bottomLeft(), frame.bottomRight());
    p.drawLine(frame.topRight(), frame.bottomRight());
  }
  p.setClipping(false);
  p.setPen(QColor(88, 96, 116));
  p.setBrush(Qt::NoBrush);
  p.drawPath(body);
  return skin;
}

}  // namespace velk
