#pragma once
// Makes the dialog's child controls, each carrying its design name, as the dialog finds
// controls by name.
#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

#include "chrome/skin_art.h"
#include "widgets/toolbar_button.h"

namespace velk {

template <class T>
T* NamedControl(QWidget* parent, const char* name, const QRect& geometry) {
  auto* control = new T(parent);
  control->setObjectName(name);
  control->setGeometry(geometry);
  return control;
}

inline QLabel* Caption(QWidget* parent, const char* name, const QString& text,
                       const QRect& geometry) {
  auto* label = NamedControl<QLabel>(parent, name, geometry);
  label->setText(text);
  return label;
}

// Flat buttons are white for the main window's black panels; the pages are light.
inline TToolbarButton97* FlatButton(QWidget* parent, const char* name, const QString& caption,
                                    const QString& hint, const QRect& geometry,
                                    bool enabled = true) {
  auto* button = NamedControl<TToolbarButton97>(parent, name, geometry);
  button->SetCaption(caption);
  if (!hint.isEmpty()) button->SetHint(hint);
  QPalette colours = button->palette();
  const QColor text = parent->palette().color(QPalette::WindowText);
  colours.setColor(QPalette::Active, QPalette::ButtonText, text);
  colours.setColor(QPalette::Inactive, QPalette::ButtonText, text);
  button->setPalette(colours);
  button->setEnabled(enabled);
  button->setFocusPolicy(Qt::StrongFocus);  // the dialog is worked by keyboard too
  return button;
}

// A flat button showing a drawn glyph; its hint says what it does.
inline TToolbarButton97* GlyphButton(QWidget* parent, const char* name, PageGlyphKind glyph,
                                     const QString& hint, const QRect& geometry,
                                     bool enabled = true) {
  TToolbarButton97* button = FlatButton(parent, name, QString(), hint, geometry, enabled);
  button->SetGlyph(PageGlyph(glyph));
  return button;
}

}  // namespace velk
