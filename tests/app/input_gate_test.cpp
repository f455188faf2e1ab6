#include "app/input_gate.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <vector>

namespace velk {
namespace {

// Notes the key presses each widget receives, in order.
class KeyLog : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress)
      log.push_back(watched->objectName().toStdString() + ":" +
                    std::to_string(static_cast<QKeyEvent*>(event)->key()));
    return false;
  }
  std::vector<std::string> log;
};

TEST(InputGate, HoldsAllButThePassingWidgetsInputAndHandsItBackInOrder) {
  QWidget window;
  auto* list = new QListWidget(&window);
  auto* zoom = new QComboBox(&window);
  auto* button = new QPushButton(&window);
  list->setObjectName("list");
  zoom->setObjectName("zoom");
  button->setObjectName("button");
  KeyLog keys;
  for (QWidget* w : {static_cast<QWidget*>(list), static_cast<QWidget*>(zoom),
                     static_cast<QWidget*>(button)})
    w->installEventFilter(&keys);
  const auto post = [](QWidget* to, int key) {
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
  };
  {
    InputGate gate({zoom}, list);
    post(button, Qt::Key_Space);   // held
    post(list, Qt::Key_A);         // held, but no move through the list
    post(zoom, Qt::Key_Up);        // passes at once
    gate.ProcessEvents();
    EXPECT_EQ(keys.log, std::vector<std::string>{"zoom:" + std::to_string(Qt::Key_Up)});
    EXPECT_FALSE(gate.BrowsingHeld());
    post(list, Qt::Key_Down);      // held, and the load should give way
    gate.ProcessEvents();
    EXPECT_TRUE(gate.BrowsingHeld());
    EXPECT_EQ(keys.log.size(), 1u);
  }  // handed back
  QCoreApplication::processEvents();
  EXPECT_EQ(keys.log, (std::vector<std::string>{
                          "zoom:" + std::to_string(Qt::Key_Up),
                          "button:" + std::to_string(Qt::Key_Space),
                          "list:" + std::to_string(Qt::Key_A),
                          "list:" + std::to_string(Qt::Key_Down)}));
}

}  // namespace
}  // namespace velk
