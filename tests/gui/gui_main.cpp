// The GUI tests run on Qt's offscreen platform with the Qt toolkit installed,
// or on the platform KESTREL_GUI_TEST_PLATFORM names (xcb under xvfb-run in
// CI: a real X server, where focus, modal loops and the clipboard behave as
// on a desktop).
#include <gtest/gtest.h>

#include <cstdlib>

#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_toolkit.h"

// Under the sanitizers: the font library's caches live as long as the
// process (as tests/tools/lsan.supp says for the programs).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv) {
  const char* platform = std::getenv("KESTREL_GUI_TEST_PLATFORM");
  setenv("QT_QPA_PLATFORM", platform != nullptr && *platform != 0 ? platform : "offscreen", 1);
  testing::InitGoogleTest(&argc, argv);
  kestrel::installQtToolkit();
  kestrel::qt::application(true);
  return RUN_ALL_TESTS();
}
