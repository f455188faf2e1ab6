#pragma once
// A flat toolbar button: no frame until the mouse is over it, a sunken look while pressed or
// down, a caption and an optional glyph strip of 1 to 4 equal images (up, disabled, pressed,
// down). The glyph's bottom-left pixel gives its transparent colour. OnClick is clicked().
#include <QAbstractButton>
#include <QImage>
#include <QPixmap>

#include "platform/bitmap.h"

namespace velk {

class TToolbarButton97 : public QAbstractButton {
  Q_OBJECT
public:
  enum class GlyphState { Up, Disabled, Pressed, Down };

  explicit TToolbarButton97(QWidget* parent = nullptr);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption);
  const QImage& Glyph() const { return glyph_; }
  void SetGlyph(const QImage& glyph);
  void SetGlyph(const Bitmap& glyph);
  int NumGlyphs() const { return numGlyphs_; }
  // Clamped to 1..4.
  void SetNumGlyphs(int count);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  // The hint shown in the status line; its short part is the tool tip.
  QString Hint() const;
  void SetHint(const QString& hint);
  // A button that stays down (checkable), drawn sunken with the fourth glyph.
  bool Down() const { return isChecked(); }
  void SetDown(bool down);

  // The transparent image drawn for a state; states without an image of their own are made
  // from the up image (a greyed copy for Disabled). Null without a glyph.
  QPixmap GlyphPixmap(GlyphState state) const;

  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

private:
  void SliceGlyph();

  QImage glyph_;
  int numGlyphs_ = 1;
  QPixmap slices_[4];  // by GlyphState, null where the strip has no such image
  int tag_ = 0;
  bool hot_ = false;
};

}  // namespace velk
