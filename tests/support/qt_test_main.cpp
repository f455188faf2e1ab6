// Widget tests run inside one Application on Qt's offscreen platform unless told otherwise.
// Tests meant for a real X server fall back to offscreen without one (Qt could not start on
// xcb at all) and skip themselves there.
#include <gtest/gtest.h>

#include "platform/application.h"

int main(int argc, char** argv) {
  const bool noX = qEnvironmentVariableIsEmpty("DISPLAY") && qgetenv("QT_QPA_PLATFORM") == "xcb";
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || noX) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  velk::Application app(argc, argv);
  return RUN_ALL_TESTS();
}
