#pragma once
// The engine's window-system services. The portable core calls only this
// interface; src/toolkit/qt implements it with Qt, and a null toolkit (no
// window system: nothing is shown, dialogs answer with their default)
// serves the fuzzer and the non-GUI tests. Programs install the Qt toolkit
// at start; nothing here includes Qt.
#include <memory>
#include <string>

namespace kestrel {

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // True when windows can be shown: a display, or QT_QPA_PLATFORM set.
  virtual bool windowSystemAvailable() = 0;
  // Handles the window-system events that are waiting.
  virtual void processPendingEvents() = 0;
};

// The installed toolkit (the null toolkit until one is installed).
Toolkit& toolkit();
void installToolkit(std::unique_ptr<Toolkit> toolkit);
std::unique_ptr<Toolkit> makeNullToolkit();

}  // namespace kestrel
