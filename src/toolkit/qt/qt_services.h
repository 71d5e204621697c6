#pragma once
// The pieces of the Qt toolkit beyond windows: message boxes, screen facts,
// the printer's text channel and sound. Internal to src/toolkit/qt.
#include <memory>
#include <string>
#include <vector>

#include "toolkit/toolkit.h"

class QApplication;
class QString;

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
// The first print-N.pdf in the current folder that does not exist yet: a
// job never replaces an earlier one.
QString freePdfName();

// The printer as a canvas (qt_print_document.cpp).
std::vector<std::string> printerNames();
int defaultPrinter();
gui::PrinterCapabilities printerCapabilities(int printer);
gui::Size printerPageSize(const gui::PrintSettings& settings);
std::unique_ptr<gui::PrintDocument> beginPrintDocument(const gui::PrintSettings& settings);
std::unique_ptr<gui::Surface> createPrinterCanvas(const gui::PrintSettings& settings);

bool showFontDialog(gui::FontDialogRequest& request);
// The open and save dialogs (qt_file_dialog.cpp).
bool showFileDialog(gui::FileDialogRequest& request);

// The clipboard (qt_clipboard.cpp).
bool clipboardHasText();
std::string clipboardText();
void setClipboardText(const std::string& text);
bool clipboardHasPicture();
std::unique_ptr<gui::Surface> clipboardPicture();
void setClipboardPicture(const gui::Surface& picture);
void clearClipboard();

// Application-wide settings (qt_application.cpp).
void setApplicationIcon(const gui::Surface* icon);
void setApplicationHints(bool show, uint32_t color, int pauseMs, int hidePauseMs);

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

// The session bus for automation objects (qt_automation_bus.cpp); nullptr
// when it cannot be reached.
bus::Bus* automationBus();

// A socket watched by the event loop (QSocketNotifier).
std::unique_ptr<SocketWatch> makeSocketWatch(int socket, std::function<void(SocketCondition)> ready);

}  // namespace kestrel::qt
