#pragma once
// The engine's window-system services. The portable core calls only this
// interface; src/toolkit/qt implements it with Qt, and a null toolkit (no
// window system: nothing is shown, dialogs answer with their default)
// serves the fuzzer and the non-GUI tests. Programs install the Qt toolkit
// at start; nothing here includes Qt.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "platform/wav.h"
#include "toolkit/system_types.h"

namespace kestrel {

namespace bus {
class Bus;
}
struct MessageBoxRequest;
class TextPrintJob;
class SocketWatch;
enum class SocketCondition { Readable, Writable };
namespace gui {
struct FileDialogRequest;
class Surface;
class TimerPeer;
class WindowOwner;
class WindowPeer;
}  // namespace gui

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // True when windows can be shown: a display, or QT_QPA_PLATFORM set.
  virtual bool windowSystemAvailable() = 0;
  // True when windows are shown where nobody sees them (a platform without
  // a screen, such as Qt's offscreen one).
  virtual bool windowsUnseen() { return false; }
  // Handles the window-system events that are waiting.
  virtual void processPendingEvents() = 0;

  // ---- Message boxes. Returns the index of the button chosen, or -1 when
  // no box can be shown (the caller then asks on the terminal).
  virtual int showMessageBox(const MessageBoxRequest& request);

  // ---- Screen and cursor.
  // The primary screen's size in pixels; false when there is no display.
  virtual bool screenSize(int& width, int& height);
  // The application-wide cursor shape (the run-time's cursor numbers: 0
  // default, -1 none, -2 arrow, -3 cross, -4 I-beam, ... -22 size-all).
  virtual void setScreenCursor(int shape);

  // ---- The printer as a text channel: a job on the default printer, or a
  // PDF file when no printer is configured.
  virtual std::unique_ptr<TextPrintJob> startTextPrintJob(const std::string& title);

  // ---- Sound. Without an audio device nothing plays and nothing fails.
  // Replaces the sound playing; with `wait` returns when it has played,
  // with `loop` repeats it until stopped.
  virtual void playSound(platform::PcmSound sound, bool wait, bool loop);
  virtual void stopSound();
  virtual bool soundPlaying();

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
  // True while one of the program's windows is the active one (or when
  // the toolkit cannot tell).
  virtual bool applicationActive() { return true; }
  // Windows system metrics by index (screen size, borders, icons...).
  virtual int systemMetric(int index);
  virtual void beep();

  // ---- Sockets watched by the event loop (asynchronous notification).
  // `ready` runs from the event loop, while the program is inside a toolkit
  // call that handles events, whenever the socket is readable (or writable)
  // and the watch is armed for that condition; whoever handles it disarms
  // it. nullptr when there is no event loop (the default).
  virtual std::unique_ptr<SocketWatch> watchSocket(int socket, std::function<void(SocketCondition)> ready);

  // ---- The desktop's automation bus (toolkit/automation_bus.h): the
  // session bus, or nullptr when there is none (the null toolkit).
  virtual bus::Bus* automationBus() { return nullptr; }

  // ---- Forms and controls (src/toolkit/peers/, one header per family):
  // the peer of type PeerT for `owner`, made by the factory the toolkit
  // listed for PeerT (see addPeers), or else the storing PeerT itself,
  // which shows nothing. The null toolkit lists none.
  template <class PeerT>
  std::unique_ptr<PeerT> create(gui::WindowOwner& owner) {
    static_assert(std::is_base_of_v<gui::WindowPeer, PeerT>, "peers derive from gui::WindowPeer");
    const auto it = peers_.find(typeid(PeerT));
    if (it != peers_.end()) return std::unique_ptr<PeerT>(static_cast<PeerT*>(it->second(owner).release()));
    return std::make_unique<PeerT>(&owner);
  }
  using PeerFactory = std::unique_ptr<gui::WindowPeer> (*)(gui::WindowOwner& owner);
  struct PeerEntry {
    std::type_index type;
    PeerFactory make;
  };
  // The entry for peer type PeerT of a function `Make(owner)` that returns
  // a std::unique_ptr to a PeerT (or to a class derived from it).
  template <class PeerT, auto Make>
  static PeerEntry peer() {
    return {typeid(PeerT), [](gui::WindowOwner& owner) -> std::unique_ptr<gui::WindowPeer> {
              std::unique_ptr<PeerT> made = Make(owner);
              return made;
            }};
  }

  // ---- Timers (src/toolkit/peers/timer.h): `tick` runs from the event loop
  // while the timer runs. The default (peers/timer.cpp) never ticks.
  virtual std::unique_ptr<gui::TimerPeer> createTimer(std::function<void()> tick);

  // ---- Pictures, colours, fonts and the event loop. The defaults
  // (gui_services.cpp) are the null toolkit's: surfaces that draw nothing.
  virtual std::unique_ptr<gui::Surface> createSurface(int32_t width, int32_t height, uint32_t fill);
  // The 0x00BBGGRR value of a system colour (palette index 0 to 30).
  virtual uint32_t systemColor(int index);
  // The family names of the installed screen fonts.
  virtual std::vector<std::string> screenFonts();
  // Runs `task` later, from the event loop (posted messages).
  virtual void post(std::function<void()> task);
  // Handles the events that are waiting, first waiting for one when there
  // are none. False when no event can ever come (no window system).
  virtual bool waitForEvents();
  // Minimizes every window of the program.
  virtual void minimizeApplication() {}
  // The application's hint follows the mouse over windows that have one:
  // `listener` hears each change.
  virtual void setHintListener(std::function<void(const std::string&)> listener) { (void)listener; }

  // ---- The system objects (src/toolkit/system_types.h). The defaults (in
  // system_services.cpp) are the null toolkit's: no dialog, one printer
  // that prints nothing, a clipboard inside the process.
  // Shows the font dialog; true when the user confirmed (the font chosen is
  // then in the request). False at once when no dialog can be shown.
  virtual bool showFontDialog(gui::FontDialogRequest& request);
  // Shows the open or save dialog (toolkit/file_dialog.h); true when the
  // user chose a file. False at once when no dialog can be shown.
  virtual bool showFileDialog(gui::FileDialogRequest& request) {
    (void)request;
    return false;
  }
  virtual std::vector<std::string> printerNames();
  virtual int defaultPrinter() { return 0; }
  virtual gui::PrinterCapabilities printerCapabilities(int printer);
  // The printable page in printer pixels.
  virtual gui::Size printerPageSize(const gui::PrintSettings& settings);
  virtual std::unique_ptr<gui::PrintDocument> beginPrintDocument(const gui::PrintSettings& settings);
  // The printer's canvas outside a document: no picture, text measured as
  // the printer sets it.
  virtual std::unique_ptr<gui::Surface> createPrinterCanvas(const gui::PrintSettings& settings);
  virtual bool clipboardHasText();
  virtual std::string clipboardText();
  virtual void setClipboardText(const std::string& text);
  virtual bool clipboardHasPicture();
  // The clipboard's picture, or nullptr when it holds none.
  virtual std::unique_ptr<gui::Surface> clipboardPicture();
  virtual void setClipboardPicture(const gui::Surface& picture);
  virtual void clearClipboard();
  // The icon every window of the program shows unless it has its own.
  virtual void setApplicationIcon(const gui::Surface* icon) { (void)icon; }
  // Tool tips: shown at all, their colour (0x00BBGGRR) and timing in ms.
  virtual void setApplicationHints(bool show, uint32_t color, int pauseMs, int hidePauseMs) {
    (void)show, (void)color, (void)pauseMs, (void)hidePauseMs;
  }

 protected:
  // Runs the tasks posted so far; false when there were none.
  bool runPostedTasks();
  // Lists the peers this toolkit makes: {peer<gui::FormPeer, makeForm>(), ...}.
  void addPeers(std::initializer_list<PeerEntry> entries) {
    for (const PeerEntry& e : entries) peers_.insert_or_assign(e.type, e.make);
  }

 private:
  std::unordered_map<std::type_index, PeerFactory> peers_;
  std::vector<std::function<void()>> posted_;
  // The null toolkit's clipboard.
  std::string clipText_;
  bool clipHasText_ = false;
  std::shared_ptr<gui::Surface> clipPicture_;
};

// One socket watched by the event loop; both conditions start disarmed.
class SocketWatch {
 public:
  virtual ~SocketWatch() = default;
  virtual void arm(SocketCondition condition, bool on) = 0;
};

// One print job of the printer's text channel.
class TextPrintJob {
 public:
  virtual ~TextPrintJob() = default;
  // Text in a fixed-pitch font: "\n" (or "\r\n") ends a line, "\f" a page,
  // long lines wrap at the right margin.
  virtual void write(std::string_view text) = 0;
  // Ends the job (the document is printed or written).
  virtual void finish() = 0;
};

// The buttons a message box can have; the dialogs map them to the results
// the program sees.
enum class DialogButton { Ok, Cancel, Abort, Retry, Ignore, Yes, No, All, Help, TryAgain, Continue };
enum class DialogIcon { None, Warning, Error, Information, Question };

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  std::vector<DialogButton> buttons;  // in the order shown
  int defaultButton = 0;              // index into buttons
  int escapeButton = -1;              // the button Escape or closing chooses; -1: none
  DialogIcon icon = DialogIcon::None;
};

// The button's label ("OK", "Cancel", "Try Again", ...).
const char* dialogButtonLabel(DialogButton button);

// The installed toolkit (the null toolkit until one is installed). With
// useToolkitPlugin, the first use loads the Qt toolkit's plug-in
// (kestrel-toolkit-qt.so, see platform/plugin.h); when it cannot be loaded
// the program goes on without a window system, on the null toolkit.
Toolkit& toolkit();
void installToolkit(std::unique_ptr<Toolkit> toolkit);
void useToolkitPlugin();
// The toolkit when one is in use already; null while the plug-in is still
// unloaded (nothing of it can need stopping then).
Toolkit* toolkitInUse();
std::unique_ptr<Toolkit> makeNullToolkit();

}  // namespace kestrel
