#include "platform/icon_keeping_style.h"

#include <QApplication>

namespace velk {

IconKeepingStyle::IconKeepingStyle() : QProxyStyle(QApplication::style()->name()) {}

QIcon IconKeepingStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                     const QWidget* widget) const {
  // An option may ask for a state or size of its own: those are made as asked.
  if (option) return QProxyStyle::standardIcon(which, option, widget);
  // Without an option, arrows follow the application's direction.
  const auto key = std::make_pair(which, QGuiApplication::layoutDirection());
  auto found = icons_.find(key);
  if (found == icons_.end())
    found = icons_.emplace(key, QProxyStyle::standardIcon(which, nullptr, widget)).first;
  return found->second;
}

void InstallIconKeepingStyle() { QApplication::setStyle(new IconKeepingStyle); }

}  // namespace velk
