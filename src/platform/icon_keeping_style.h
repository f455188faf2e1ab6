// The application's style, with one icon kept for each standard pixmap.
#pragma once

#include <QProxyStyle>
#include <map>
#include <utility>

namespace velk {

// Qt's styles make a new icon at every call of standardIcon, and the pixmap cache keeps each
// icon's renderings under that icon's own key until the cache holds 10 MB: every message box
// (its buttons' icons) would add about 2 KB to a long session. Handing out the same
// icon for the same pixmap lets the cache find what it drew before.
class IconKeepingStyle : public QProxyStyle {
public:
  // Wraps the style the application would use (its -style option and QT_STYLE_OVERRIDE too).
  IconKeepingStyle();
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;

private:
  // Arrows point the way the text runs, so the direction is part of the key.
  mutable std::map<std::pair<StandardPixmap, Qt::LayoutDirection>, QIcon> icons_;
};

// Makes the application's style an IconKeepingStyle; after the application object exists.
void InstallIconKeepingStyle();

}  // namespace velk
