// The toolkit on Qt 6 Widgets. The application object is created only when
// a program first needs the window system, so console programs never touch
// a display.
#include "toolkit/qt/qt_toolkit.h"

#include <QApplication>
#include <cstdlib>

#include "state/errors.h"
#include "toolkit/toolkit.h"

namespace kestrel {

namespace {

bool displayConfigured() {
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
         std::getenv("QT_QPA_PLATFORM") != nullptr;
}

class QtToolkit : public Toolkit {
 public:
  ~QtToolkit() override { delete app_; }

  bool windowSystemAvailable() override { return displayConfigured(); }

  void processPendingEvents() override {
    if (app_ != nullptr) QApplication::processEvents();
  }

  // The application object, created on first use.
  QApplication& application() {
    if (app_ == nullptr) {
      if (!displayConfigured())
        raise("No display available for windows: set DISPLAY, or QT_QPA_PLATFORM=offscreen to run without one");
      static int argc = 1;
      static char name[] = "kestrel";
      static char* argv[] = {name, nullptr};
      app_ = new QApplication(argc, argv);
    }
    return *app_;
  }

 private:
  QApplication* app_ = nullptr;
};

}  // namespace

void installQtToolkit() { installToolkit(std::make_unique<QtToolkit>()); }

}  // namespace kestrel
