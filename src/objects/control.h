#pragma once
// The engine side of every visual object (forms and controls): the common
// properties that all of them share, their toolkit peer, and the routing of
// the peer's events to the program's handlers.
//
// A control family derives from ControlOf<its peer type> (below), which
// makes the peer, and lists its member table with the shared rows of
// control_members.h and event_members.h: the handlers live in the slots
// every event source has, one per event kind. docs/architecture.md walks
// through adding a family.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "events/dispatch.h"
#include "objects/event_source.h"
#include "objects/member_operands.h"
#include "objects/object_model.h"
#include "toolkit/gui_types.h"
#include "toolkit/peers/window.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

class FontObject;

// An object that a control's PopupMenu may name: a right click on the
// control shows it at the mouse.
class ContextMenu {
 public:
  virtual ~ContextMenu() = default;
  virtual void popupAtMouse() = 0;
};

// Alignment within the parent: 0 none, 1 top, 2 bottom, 3 left, 4 right, 5 client.
enum Align { kAlignNone = 0, kAlignTop, kAlignBottom, kAlignLeft, kAlignRight, kAlignClient };

class Control : public EventSource, public gui::WindowOwner {
 public:
  Control(Machine& m, int type);
  ~Control() override;

  Machine& machine() const { return m_; }
  gui::WindowPeer& peer() const { return *peer_; }

  // ---- Common properties. Bounds are Left, Top, Width and Height as the
  // program sees them (a form adds its frame to the client area).
  virtual gui::Rect bounds() const;
  virtual void setBounds(const gui::Rect& r);
  void setLeft(int32_t v);
  void setTop(int32_t v);
  void setWidth(int32_t v);
  void setHeight(int32_t v);
  int32_t left() const { return bounds().left; }
  int32_t top() const { return bounds().top; }
  int32_t width() const { return bounds().width(); }
  int32_t height() const { return bounds().height(); }
  virtual gui::Size clientSize() const;
  virtual void setClientSize(gui::Size size);
  int32_t clientWidth() const { return clientSize().width; }
  int32_t clientHeight() const { return clientSize().height; }
  void setClientWidth(int32_t v) { setClientSize({v, clientSize().height}); }
  void setClientHeight(int32_t v) { setClientSize({clientSize().width, v}); }

  virtual Str caption() const;
  virtual void setCaption(const Str& text);

  // Makes `container` the parent (nullptr: none); it must be a control that
  // holds others, and not this control or one inside it.
  void setParent(Control* container);
  Control* parent() const { return parent_; }
  // Whether Parent may name this control (a paint box holds none).
  virtual bool holdsControls() const { return true; }

  gui::FontDesc& font() { return font_; }
  // Shows the font after the program changed font(); from then on the
  // control keeps its own font instead of its parent's.
  void fontChanged();
  void assignFont(const FontObject& source);
  // A control that follows its parent's font (until the program sets one)
  // and, for families that ask for it, its parent's colour.
  bool parentFont() const { return parentFont_; }
  bool parentColor() const { return parentColor_; }

  // Boolean properties keep the flag byte the program set (a flag set with
  // -1 reads 255); a window the user closed reads 0.
  uint8_t enabledFlag() const;
  void setEnabled(uint8_t flag);
  uint8_t visibleFlag() const;
  virtual void setVisible(uint8_t flag);
  uint8_t showHintFlag() const { return showHint_; }
  void setShowHint(uint8_t flag);
  const Str& hint() const { return hint_; }
  void setHint(const Str& text);

  int32_t color() const { return color_; }
  virtual void setColor(int32_t color);
  int32_t cursor() const { return cursor_; }
  void setCursor(int32_t number);
  int32_t align() const { return align_; }
  void setAlign(int32_t align);
  // The visible children with `align` (1 to 4), in the order they dock:
  // by their place on that side, then in creation order.
  std::vector<Control*> dockedChildren(int32_t align) const;
  // Where aligned children dock: the client area, less what a frame takes.
  virtual gui::Rect dockArea() const {
    const gui::Size client = clientSize();
    return {0, 0, client.width, client.height};
  }
  // The position among the parent's children in the keyboard's order; -1
  // without a parent (the value set then applies when one is assigned).
  int32_t tabOrder() const;
  void setTabOrder(int32_t position);
  intptr_t handle() const { return peer_->handle(); }
  // The popup menu named by the program (menus attach it).
  ObjectRef popupMenu{};

  // ---- gui::WindowOwner
  void event(gui::InputEvent& e) override;
  intptr_t message(uint32_t msg, intptr_t wParam, intptr_t lParam) override;
  void windowMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) override;
  std::string windowText() override { return caption().str(); }
  void setWindowText(const std::string& text) override { setCaption(Str(text)); }
  bool showCommand(int command) override;

 protected:
  // Takes the peer the family made; applies the properties it starts with.
  void attach(std::unique_ptr<gui::WindowPeer> peer);
  // What the window does with a message after the program's hook.
  virtual intptr_t defaultMessage(uint32_t msg, intptr_t wParam, intptr_t lParam);
  // The client area changed size: runs the resize handler and docks the
  // aligned children. Called once per new size, whoever changed it.
  virtual void resized();
  // The user or a message asked to close the window.
  virtual void closeRequested() {}
  virtual void windowStateChanged() {}
  // Something the control shows changed (text, font, colour, enabled,
  // size): families that paint their own picture paint it again.
  virtual void appearanceChanged() {}
  // Shows font_ and passes it on to the children that follow it.
  void showFont();
  // Shows color_ and passes it on to the children that follow it.
  void showColor();
  // Docks the aligned children in the client area.
  void realign();
  // Shows the popup menu the program named, if it names one.
  void showPopupMenu();
  // Calls resized() when the client size differs from the one last seen.
  void checkResized();

  Machine& m_;
  std::unique_ptr<gui::WindowPeer> peer_;
  Control* parent_ = nullptr;
  std::vector<Control*> children_;  // in the order they got this parent
  std::vector<Control*> tabList_;   // children in keyboard order
  gui::FontDesc font_;
  uint8_t enabled_ = 1;
  uint8_t visible_ = 1;
  uint8_t showHint_ = 0;
  Str hint_;
  int32_t color_ = gui::kColorButtonFace;
  int32_t cursor_ = 0;
  int32_t align_ = kAlignNone;
  int32_t wantedTabOrder_ = -1;
  gui::Size lastClientSize_{-1, -1};
  uint64_t created_;  // rank among all controls made, for the docking order
  bool aligning_ = false;
  bool parentFont_ = true;
  bool parentColor_ = false;  // families whose colour follows the parent's set it

 private:
  void applyTabOrder();
};

// A control whose peer is a PeerT (toolkit/peers/): the constructor makes
// the peer, and peer() has the peer's own type.
template <class PeerT>
class ControlOf : public Control {
 public:
  ControlOf(Machine& m, int type) : Control(m, type) { attach(toolkit().create<PeerT>(*this)); }
  PeerT& peer() const { return static_cast<PeerT&>(Control::peer()); }
};

// The number a control without a window of its own gives as its Handle
// (its canvas): `base` + 4 x its index. The window functions accept it
// for the control's window, so that messages reach its hook.
intptr_t canvasHandle(Control& control, intptr_t base);

// The font object (type 34): a font the program sets up and assigns to
// controls (their Font member copies it).
inline constexpr int kFontType = 34;
class FontObject : public Object {
 public:
  explicit FontObject(int type) : Object(type) {}
  gui::FontDesc desc;
  gui::FontDesc& font() { return desc; }
  void fontChanged() {}
};

// The font named by an object operand ("Invalid class typecast" for
// anything else).
const FontObject& fontOperand(Machine& m);
// The control named by an object operand, for Parent.
Control& containerOperand(Machine& m);

}  // namespace kestrel::objects
