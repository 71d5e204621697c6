#pragma once
// Windows as the engine sees them. Each form or control of a program is an
// engine object (the owner, src/objects) with a peer made by the toolkit:
// the owner holds the program's view (flag bytes, colour values, event
// slots), the peer shows it. The base classes here store every property and
// show nothing: they are the null toolkit's peers, and the Qt peers derive
// from them and add the widget.
//
// Every peer gets a stable integer handle from the handle table when it is
// made; the window functions of the toolkit (messages, window text, show
// commands) find windows through it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/gui_types.h"
#include "toolkit/surface.h"

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
  // A show command; returns whether the window was visible before.
  virtual bool showCommand(int command) = 0;
  // The window's class name ("TForm"), for finding windows.
  virtual const char* windowClass() const = 0;
  virtual bool topLevel() const { return false; }
};

class WindowPeer {
 public:
  explicit WindowPeer(WindowOwner* owner);
  virtual ~WindowPeer();
  WindowPeer(const WindowPeer&) = delete;
  WindowPeer& operator=(const WindowPeer&) = delete;

  intptr_t handle() const { return handle_; }
  WindowOwner* owner() const { return owner_; }
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

// Arrangements of the child windows of a multiple-document form.
enum class MdiArrangement { Cascade, TileHorizontal, TileVertical, ArrangeIcons, Next, Previous };

// A top-level window with a client area that keeps its picture. For a form,
// geometry() is the client area at the window's position: the engine adds
// the frame.
class FormPeer : public WindowPeer {
 public:
  explicit FormPeer(WindowOwner* owner);
  ~FormPeer() override;

  // The picture of the client area, always its size: it keeps its top-left
  // part when the area changes size, and new parts get the background colour.
  virtual Surface& canvas() { return *canvas_; }
  void setBackground(uint32_t rgb) override;
  void setGeometry(const Rect& r) override {
    WindowPeer::setGeometry(r);
    clientResized();
  }

  // 0 none, 1 single, 2 sizeable, 3 dialog, 4 tool window, 5 sizeable tool window.
  virtual void setBorderStyle(int style) { borderStyle_ = style; }
  // Bits: 1 system menu, 2 minimize, 4 maximize, 8 help.
  virtual void setBorderIcons(uint8_t icons) { borderIcons_ = icons; }
  virtual void setCaptionShown(bool shown) { captionShown_ = shown; }
  virtual void setStayOnTop(bool onTop) { (void)onTop; }
  virtual void setWindowState(int state) { windowState_ = state; }
  virtual int windowState() const { return windowState_; }
  virtual void setIcon(const Surface* icon) { (void)icon; }
  // Shows the window modal to the others (or ends that).
  virtual void setModal(bool modal) { (void)modal; }
  virtual void setKeyPreview(bool preview) { keyPreview_ = preview; }
  bool keyPreview() const { return keyPreview_; }
  // Paints at once: the owner gets its Paint event before the picture shows.
  virtual void repaint();
  // Multiple documents: a child window lives inside the parent's client
  // area (nullptr: a window of its own again).
  virtual void setMdiParent(FormPeer* parent) { mdiParent_ = parent; }
  FormPeer* mdiParent() const { return mdiParent_; }
  virtual void setMdiContainer(bool container) { (void)container; }
  virtual void arrangeMdiChildren(MdiArrangement how) { (void)how; }
  // The child window that is active, or nullptr.
  virtual FormPeer* activeMdiChild() const { return nullptr; }

 protected:
  // The client area changed size: so does the picture.
  void clientResized();

  std::unique_ptr<Surface> canvas_;
  int borderStyle_ = 2;
  uint8_t borderIcons_ = 7;
  bool captionShown_ = true;
  int windowState_ = kNormal;
  bool keyPreview_ = false;
  FormPeer* mdiParent_ = nullptr;
};

// A control that shows a picture the engine paints (labels, panels): the
// picture always has the control's client size, and transparent pixels
// show what lies under the control.
class PicturePeer : public WindowPeer {
 public:
  explicit PicturePeer(WindowOwner* owner);
  ~PicturePeer() override;
  // The picture, at the client size (new parts take the background colour).
  Surface& picture();
  // The engine painted the picture: the window shows it again.
  virtual void pictureChanged() {}

 protected:
  std::unique_ptr<Surface> picture_;
};

// How a push button shows its glyph and caption.
struct ButtonLook {
  int layout = 0;      // glyph 0 left of the caption, 1 right, 2 above, 3 below
  int spacing = 4;     // pixels between glyph and caption
  int numGlyphs = 1;   // pictures side by side in the glyph: up, disabled, pressed, down
  bool flat = false;   // no frame until the mouse is over it
  bool down = false;   // stays pressed
  bool focusable = true;
  int kind = 0;        // a standard glyph shown when there is no glyph: 1 OK, 2 Cancel ... 10 All
  bool operator==(const ButtonLook&) const = default;
};

// A push button with a glyph (bitmap and flat buttons).
class ButtonPeer : public WindowPeer {
 public:
  explicit ButtonPeer(WindowOwner* owner);
  ~ButtonPeer() override;
  // A copy of the glyph (nullptr or empty: none); pixels of the
  // transparent colour are left out.
  virtual void setGlyph(const Surface* glyph, int32_t transparentColor);
  const Surface* glyph() const { return glyph_.get(); }
  virtual void setLook(const ButtonLook& look) { look_ = look; }
  const ButtonLook& look() const { return look_; }
  // Enter (default) or Escape (cancel) anywhere in the window clicks it.
  virtual void setKeys(bool enterClicks, bool escapeClicks) {
    enterClicks_ = enterClicks;
    escapeClicks_ = escapeClicks;
  }
  // While a mouse button is down: the window follows the mouse until it is
  // released (DragStart, then DragEnd). False when no button is down.
  virtual bool beginDragMove() { return false; }

 protected:
  std::unique_ptr<Surface> glyph_;
  int32_t transparentColor_ = 0;
  ButtonLook look_;
  bool enterClicks_ = false;
  bool escapeClicks_ = false;
};

// Kinds of controls the toolkit makes. Each control family adds its kind.
enum class ControlKind {
  Plain,  // a window that only paints its background (for families without a widget of their own yet)
  Label,         // a PicturePeer
  Panel,         // a PicturePeer that holds other controls
  BitmapButton,  // a ButtonPeer
  FlatButton,    // a ButtonPeer that takes no keyboard focus
};

// ---- The handle table.
// The window with a handle, or nullptr.
WindowPeer* findWindowPeer(intptr_t handle);
// Every window, in the order they were made.
std::vector<WindowPeer*> allWindowPeers();

}  // namespace kestrel::gui
