// Widget tests run inside one Application on Qt's offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include "platform/application.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  velk::Application app(argc, argv);
  return RUN_ALL_TESTS();
}
