#pragma once
// Windows as the engine sees them. Each form or control of a program is an
// engine object (the owner, src/objects) with a peer made by the toolkit
// (Toolkit::create<PeerT>): the owner holds the program's view (flag
// bytes, colour values, event slots), the peer shows it. The peer classes
// of this folder, one header per family, store every property and show
// nothing: they are the null toolkit's peers, and the Qt peers derive from
// them and add the widget. This one is the base of all: what every window
// has.
//
// Every peer gets a stable integer handle from the handle table when it is
// made; the window functions of the toolkit (messages, window text, show
// commands) find windows through it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/gui_types.h"

namespace kestrel::gui {

// The engine side of a window: what the toolkit calls.
class WindowOwner {
 public:
  virtual ~WindowOwner() = default;
  // An input or window event (mouse, keys, resize, close, paint, ...).
  virtual void event(InputEvent& e) = 0;
  // A message sent or posted to the window's handle: the program's message
  // hook sees it, then the default handling. Returns the message's result.
  virtual intptr_t message(uint32_t msg, intptr_t wParam, intptr_t lParam) = 0;
  virtual std::string windowText() = 0;
  virtual void setWindowText(const std::string& text) = 0;
  // One of the window system's own events, as the message the program's
  // hook sees (wm::kKeyDown, kPaint, ...); the toolkit handles the event
  // itself, so nothing but the hook runs. Before the event.
  virtual void windowMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) { (void)msg, (void)wParam, (void)lParam; }
  // A show command; returns whether the window was visible before.
  virtual bool showCommand(int command) = 0;
  // The window's class name ("TForm"), for finding windows.
  virtual const char* windowClass() const = 0;
};

class WindowPeer {
 public:
  explicit WindowPeer(WindowOwner* owner);
  virtual ~WindowPeer();
  WindowPeer(const WindowPeer&) = delete;
  WindowPeer& operator=(const WindowPeer&) = delete;

  intptr_t handle() const { return handle_; }
  // Another number that names this window in the handle table (a
  // control's canvas handle, which the program may send messages to).
  void addHandle(intptr_t alias);
  WindowOwner* owner() const { return owner_; }
  // A window of its own (a form), not a control inside another.
  virtual bool topLevel() const { return false; }
  // The engine object goes away before its peer: no more events.
  void detach() { owner_ = nullptr; }

  // The window that holds this one (nullptr: none, the control is not shown).
  virtual void setParent(WindowPeer* parent) { parent_ = parent; }
  WindowPeer* parent() const { return parent_; }
  // Position in the parent's client area (for top-level windows: on the
  // screen) and outer size.
  virtual void setGeometry(const Rect& r) { geometry_ = r; }
  virtual Rect geometry() const { return geometry_; }
  virtual Size clientSize() const { return {geometry().width(), geometry().height()}; }
  virtual void setText(std::string_view text) { text_ = text; }
  virtual std::string text() const { return text_; }
  virtual void setVisible(bool visible) { visible_ = visible; }
  virtual bool visible() const { return visible_; }
  virtual void setEnabled(bool enabled) { enabled_ = enabled; }
  virtual bool enabled() const { return enabled_; }
  // The hint text, and whether it shows as a tool tip.
  virtual void setHint(std::string_view text, bool show) {
    hint_ = text;
    showHint_ = show;
  }
  const std::string& hint() const { return hint_; }
  virtual void setBackground(uint32_t rgb) { background_ = rgb; }
  uint32_t background() const { return background_; }
  virtual void setCursorShape(int shape) { cursorShape_ = shape; }
  virtual void setFont(const FontDesc& font, uint32_t rgb) {
    font_ = font;
    fontColor_ = rgb;
  }
  // The order in which keyboard focus visits the children (a parent's
  // children, first to last).
  virtual void setTabOrder(const std::vector<WindowPeer*>& children) { (void)children; }
  virtual void bringToFront() {}
  // While the left button is held on the window: the window follows the
  // mouse until it is let go (DragStart, then DragEnd), inside its parent.
  // False when no button is held or the toolkit cannot move it.
  virtual bool beginDragMove() { return false; }

 protected:
  WindowOwner* owner_;
  intptr_t handle_;
  WindowPeer* parent_ = nullptr;
  Rect geometry_;
  std::string text_;
  std::string hint_;
  bool showHint_ = false;
  bool visible_ = false;
  bool enabled_ = true;
  uint32_t background_ = kWhite;
  int cursorShape_ = 0;
  FontDesc font_;
  uint32_t fontColor_ = kBlack;
};

// ---- The handle table.
// The window with a handle, or nullptr.
WindowPeer* findWindowPeer(intptr_t handle);
// Every window, in the order they were made.
std::vector<WindowPeer*> allWindowPeers();

}  // namespace kestrel::gui
