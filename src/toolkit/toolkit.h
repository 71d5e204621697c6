#pragma once
// The engine's window-system services. The portable core calls only this
// interface; src/toolkit/qt implements it with Qt, and a null toolkit (no
// window system: nothing is shown, dialogs answer with their default)
// serves the fuzzer and the non-GUI tests. Programs install the Qt toolkit
// at start; nothing here includes Qt.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // True when windows can be shown: a display, or QT_QPA_PLATFORM set.
  virtual bool windowSystemAvailable() = 0;
  // Handles the window-system events that are waiting.
  virtual void processPendingEvents() = 0;

  // ---- Windows by handle, the desktop, the keyboard and sounds, as the
  // system functions that programs call see them. The defaults (in
  // window_services.cpp) answer as a desktop without windows and without
  // sound: unknown handles, a 1024 x 768 screen, no key down.
  virtual intptr_t sendMessage(intptr_t window, uint32_t message, intptr_t wParam, intptr_t lParam);
  virtual bool postMessage(intptr_t window, uint32_t message, intptr_t wParam, intptr_t lParam);
  // False when there is no such window.
  virtual bool windowText(intptr_t window, std::string& text);
  virtual bool setWindowText(intptr_t window, const std::string& text);
  // A top-level window by class name and/or title (nullptr: any); 0 if none.
  virtual intptr_t findWindow(const std::string* className, const std::string* title);
  // Windows show command (0 hide, 1 normal, 2 minimized, 3 maximized, 5 show...);
  // returns whether the window was visible before.
  virtual bool showWindow(intptr_t window, int command);
  virtual bool cursorPosition(int& x, int& y);
  virtual bool setCursorPosition(int x, int y);
  // Windows key-state bits for a virtual key: 0x8000 down, 1 toggled.
  virtual int keyState(int virtualKey);
  // Windows system metrics by index (screen size, borders, icons...).
  virtual int systemMetric(int index);
  virtual void beep();
  // Plays a WAV file or WAV bytes; false when it cannot be played.
  virtual bool playSoundFile(const std::string& path, bool wait, bool loop);
  virtual bool playSoundData(const std::vector<uint8_t>& wav, bool wait, bool loop);
  virtual void stopSound();
};

// The installed toolkit (the null toolkit until one is installed).
Toolkit& toolkit();
void installToolkit(std::unique_ptr<Toolkit> toolkit);
std::unique_ptr<Toolkit> makeNullToolkit();

}  // namespace kestrel
