#include "options/options_keyboard.h"

#include <QFrame>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

#include "options/convert_page.h"
#include "options/options_form.h"

namespace velk {

void MakeKeyboardUsable(TOptions& options) {
  // Pages were built after OK, which would put OK first: the chain is made in page order.
  QWidget* previous = options.pageTree;
  for (QFrame* page : options.Panels)
    for (QWidget* control : page->findChildren<QWidget*>()) {
      if (!(control->focusPolicy() & Qt::TabFocus) || control->focusProxy() ||
          control->window() != &options)  // the boxes' drop-down lists
        continue;
      // Controls placed past the page's edge are out of sight: Tab passes them by.
      if (!page->rect().intersects(QRect(control->mapTo(page, QPoint()), control->size()))) {
        control->setFocusPolicy(Qt::NoFocus);
        continue;
      }
      QWidget::setTabOrder(previous, control);
      previous = control;
    }
  QWidget::setTabOrder(previous, options.okButton);

  auto* escape = new QShortcut(Qt::Key_Escape, &options);
  escape->setContext(Qt::WindowShortcut);
  QObject::connect(escape, &QShortcut::activated, &options, [&options] {
    auto* convert = options.findChild<TConvertPage*>("ConvertPage");
    if (convert && convert->Running()) convert->Cancel();
    else options.close();
  });
}

}  // namespace velk
