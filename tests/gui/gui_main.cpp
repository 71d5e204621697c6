// The GUI tests run on Qt's offscreen platform with the Qt toolkit installed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_toolkit.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing::InitGoogleTest(&argc, argv);
  kestrel::installQtToolkit();
  kestrel::qt::application(true);
  return RUN_ALL_TESTS();
}
