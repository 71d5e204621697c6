#pragma once
// The pieces of the Qt toolkit beyond windows: message boxes, screen facts,
// the printer's text channel and sound. Internal to src/toolkit/qt.
#include <memory>
#include <string>

#include "toolkit/toolkit.h"

class QApplication;

namespace kestrel::qt {

// True when a display is configured (DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM set).
bool displayConfigured();
// The application object, created on first use. Windows need a display
// (`needDisplay`); printing and sound run on the offscreen platform when
// there is none.
QApplication& application(bool needDisplay);
// True on a platform where nobody can answer a dialog (offscreen).
bool headlessPlatform();

int showMessageBox(const MessageBoxRequest& request);
bool screenSize(int& width, int& height);
void setScreenCursor(int shape);
std::unique_ptr<TextPrintJob> startTextPrintJob(const std::string& title);

// Sound plays on a thread of its own, so that it goes on while the program
// computes or sleeps.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void play(platform::PcmSound sound, bool wait, bool loop) = 0;
  virtual void stop() = 0;
  virtual bool playing() = 0;
};
std::unique_ptr<SoundPlayer> makeSoundPlayer();

// A socket watched by the event loop (QSocketNotifier).
std::unique_ptr<SocketWatch> makeSocketWatch(int socket, std::function<void(SocketCondition)> ready);

}  // namespace kestrel::qt
