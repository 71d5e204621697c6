#include "toolkit/qt/qt_events.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QVariant>

#include "toolkit/qt/qt_text.h"
#include "toolkit/qt/qt_window_drag.h"

namespace kestrel::qt {

namespace {

constexpr const char* kPeerProperty = "kestrelPeer";

int buttonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton: return gui::kRightButton;
    case Qt::MiddleButton: return gui::kMiddleButton;
    default: return gui::kLeftButton;
  }
}

gui::InputEvent mouseEvent(gui::EventKind kind, const QMouseEvent& e) {
  gui::InputEvent out{kind};
  out.button = buttonCode(e.button());
  const QPoint at = e.position().toPoint();
  out.x = at.x();
  out.y = at.y();
  out.shift = shiftCode(e.modifiers());
  return out;
}

// Qt's keys and the virtual keys they stand for, both ways (letters,
// digits and function keys are ranges, below). Keys of the US layout that
// type punctuation share the virtual key of the key they are on.
struct KeyPair {
  int qt;
  int vk;
};
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09}, {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D}, {Qt::Key_Shift, 0x10}, {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12}, {Qt::Key_Pause, 0x13}, {Qt::Key_CapsLock, 0x14}, {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20}, {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22}, {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24}, {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26}, {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28}, {Qt::Key_Print, 0x2C}, {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E},
    {Qt::Key_Help, 0x2F}, {Qt::Key_Meta, 0x5B}, {Qt::Key_Super_L, 0x5B}, {Qt::Key_Super_R, 0x5C},
    {Qt::Key_Menu, 0x5D}, {Qt::Key_NumLock, 0x90}, {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC}, {Qt::Key_Less, 0xBC}, {Qt::Key_Minus, 0xBD}, {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE}, {Qt::Key_Greater, 0xBE}, {Qt::Key_Slash, 0xBF}, {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB}, {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC}, {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},
    // Shifted digits.
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
};

int keypadKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return 0x60 + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Asterisk: return 0x6A;
    case Qt::Key_Plus: return 0x6B;
    case Qt::Key_Minus: return 0x6D;
    case Qt::Key_Period: case Qt::Key_Comma: return 0x6E;
    case Qt::Key_Slash: return 0x6F;
    case Qt::Key_Enter: return 0x0D;
    default: return 0;
  }
}

// Qt passes a key that a widget does not take on to its parent; on the
// programs' desktop only the window that has the key sees it. The first
// window that sees a key event marks it.
struct SeenKey {
  const QEvent* event = nullptr;
  QEvent::Type type = QEvent::None;
  quint64 timestamp = 0;
  int key = 0;
};
SeenKey seenKey;

bool alreadySeen(const QKeyEvent& e) {
  return seenKey.event == &e && seenKey.type == e.type() && seenKey.timestamp == e.timestamp() && seenKey.key == e.key();
}

void markSeen(const QKeyEvent& e) { seenKey = {&e, e.type(), e.timestamp(), e.key()}; }

}  // namespace

int shiftCode(Qt::KeyboardModifiers modifiers) {
  int code = 0;
  if (modifiers & Qt::ShiftModifier) code += gui::kShiftKey;
  if (modifiers & Qt::AltModifier) code += gui::kAltKey;
  if (modifiers & Qt::ControlModifier) code += gui::kCtrlKey;
  return code;
}

int virtualKeyOf(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  for (const KeyPair& k : kKeys)
    if (k.qt == key) return k.vk;
  return 0;
}

int qtKeyOf(int vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
  if (vk >= 0x70 && vk <= 0x87) return Qt::Key_F1 + (vk - 0x70);
  for (const KeyPair& k : kKeys)
    if (k.vk == vk) return k.qt;
  return 0;
}

int virtualKey(const QKeyEvent& e) {
  if ((e.modifiers() & Qt::KeypadModifier) != 0)
    if (const int pad = keypadKey(e.key())) return pad;
  return virtualKeyOf(e.key());
}

// The character in the program's code page; keys that type control
// characters (Enter, Backspace, Escape, Tab, Ctrl and a letter) give them.
int characterCode(const QKeyEvent& e) {
  const QString text = e.text();
  if (text.isEmpty()) {
    if ((e.modifiers() & Qt::ControlModifier) && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
      return 1 + (e.key() - Qt::Key_A);
    return -1;
  }
  const std::string bytes = toProgramText(text.left(1));
  if (bytes.size() != 1) return -1;
  return static_cast<unsigned char>(bytes[0]);
}

gui::WindowPeer* peerOf(const QWidget* widget) {
  if (widget == nullptr) return nullptr;
  const QVariant v = widget->property(kPeerProperty);
  return v.isValid() ? static_cast<gui::WindowPeer*>(v.value<void*>()) : nullptr;
}

void setPeerOf(QWidget* widget, gui::WindowPeer* peer) {
  widget->setProperty(kPeerProperty, QVariant::fromValue(static_cast<void*>(peer)));
}

EventBridge::EventBridge(QWidget* widget, gui::WindowPeer* peer) : QObject(widget), peer_(peer) {
  widget->installEventFilter(this);
}

void EventBridge::deliver(gui::InputEvent e) {
  if (gui::WindowOwner* owner = peer_->owner()) owner->event(e);
}

void EventBridge::hook(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  if (gui::WindowOwner* owner = peer_->owner()) owner->windowMessage(msg, wParam, lParam);
}

namespace {

// The first of the three messages of a button (down, up, double click).
uint32_t buttonMessageBase(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton: return gui::wm::kLButtonDown + 3;
    case Qt::MiddleButton: return gui::wm::kLButtonDown + 6;
    default: return gui::wm::kLButtonDown;
  }
}

// The wParam of a mouse message: the buttons held and Shift and Ctrl.
intptr_t mouseKeys(const QMouseEvent& e) {
  intptr_t keys = 0;
  if (e.buttons() & Qt::LeftButton) keys |= gui::wm::kMkLButton;
  if (e.buttons() & Qt::RightButton) keys |= gui::wm::kMkRButton;
  if (e.buttons() & Qt::MiddleButton) keys |= gui::wm::kMkMButton;
  if (e.modifiers() & Qt::ShiftModifier) keys |= gui::wm::kMkShift;
  if (e.modifiers() & Qt::ControlModifier) keys |= gui::wm::kMkControl;
  return keys;
}

intptr_t mousePlace(const QMouseEvent& e) {
  const QPoint at = e.position().toPoint();
  return gui::wm::makeLParam(at.x(), at.y());
}

// The lParam of a key message: a repeat count of 1, bit 29 with Alt,
// bit 30 when the key was down before, bit 31 when it goes up (as the
// signed 32-bit number a program sees).
intptr_t keyFlags(const QKeyEvent& e, bool up) {
  uint32_t flags = 1;
  if (e.modifiers() & Qt::AltModifier) flags |= 1u << 29;
  if (up || e.isAutoRepeat()) flags |= 1u << 30;
  if (up) flags |= 1u << 31;
  return static_cast<int32_t>(flags);
}

}  // namespace

// Each event first reaches the program's message hook as the message the
// window system would have sent (see docs/gui.md), then the owner as an
// event. Mouse down, click (left button released over the window), mouse
// up; a double click gives the double-click event and a mouse down. Keys
// give key down, then key press when they type a character, and key up
// (not for automatic repeats).
bool EventBridge::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (windowDragEvent(widget, event)) return true;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto& e = static_cast<const QMouseEvent&>(*event);
      if (e.button() == Qt::LeftButton) {
        leftPressed_ = true;
        noteLeftPress(peer_, widget, e);
      }
      hook(buttonMessageBase(e.button()), mouseKeys(e), mousePlace(e));
      deliver(mouseEvent(gui::EventKind::MouseDown, e));
      return false;
    }
    case QEvent::MouseButtonDblClick: {
      const auto& e = static_cast<const QMouseEvent&>(*event);
      leftPressed_ = false;
      if (e.button() == Qt::LeftButton) noteLeftPress(peer_, widget, e);
      hook(buttonMessageBase(e.button()) + 2, mouseKeys(e), mousePlace(e));
      if (e.button() == Qt::LeftButton) deliver({gui::EventKind::DblClick});
      deliver(mouseEvent(gui::EventKind::MouseDown, e));
      return false;
    }
    case QEvent::MouseButtonRelease: {
      const auto& e = static_cast<const QMouseEvent&>(*event);
      hook(buttonMessageBase(e.button()) + 1, mouseKeys(e), mousePlace(e));
      if (e.button() == Qt::LeftButton) noteLeftRelease();
      if (e.button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (widget != nullptr && widget->rect().contains(e.position().toPoint())) deliver({gui::EventKind::Click});
      }
      deliver(mouseEvent(gui::EventKind::MouseUp, e));
      return false;
    }
    case QEvent::MouseMove: {
      const auto& e = static_cast<const QMouseEvent&>(*event);
      hook(gui::wm::kMouseMove, mouseKeys(e), mousePlace(e));
      deliver(mouseEvent(gui::EventKind::MouseMove, e));
      return false;
    }
    case QEvent::KeyPress: {
      const auto& e = static_cast<const QKeyEvent&>(*event);
      if (alreadySeen(e)) return false;
      markSeen(e);
      const bool alt = (e.modifiers() & Qt::AltModifier) != 0;
      gui::InputEvent down{gui::EventKind::KeyDown};
      down.key = virtualKey(e);
      down.shift = shiftCode(e.modifiers());
      if (down.key != 0) {
        hook(alt ? gui::wm::kSysKeyDown : gui::wm::kKeyDown, down.key, keyFlags(e, false));
        deliver(down);
      }
      const int character = characterCode(e);
      if (character >= 0) {
        hook(alt ? gui::wm::kSysChar : gui::wm::kChar, character, keyFlags(e, false));
        gui::InputEvent press{gui::EventKind::KeyPress};
        press.key = character;
        deliver(press);
      }
      return false;
    }
    case QEvent::KeyRelease: {
      const auto& e = static_cast<const QKeyEvent&>(*event);
      if (e.isAutoRepeat() || alreadySeen(e)) return false;
      markSeen(e);
      gui::InputEvent up{gui::EventKind::KeyUp};
      up.key = virtualKey(e);
      up.shift = shiftCode(e.modifiers());
      if (up.key != 0) {
        hook((e.modifiers() & Qt::AltModifier) ? gui::wm::kSysKeyUp : gui::wm::kKeyUp, up.key, keyFlags(e, true));
        deliver(up);
      }
      return false;
    }
    case QEvent::FocusIn: hook(gui::wm::kSetFocus, 0, 0); return false;
    case QEvent::FocusOut: hook(gui::wm::kKillFocus, 0, 0); return false;
    case QEvent::Paint: hook(gui::wm::kPaint, 0, 0); return false;
    case QEvent::Move: {
      const QPoint at = static_cast<const QMoveEvent&>(*event).pos();
      hook(gui::wm::kMove, 0, gui::wm::makeLParam(at.x(), at.y()));
      return false;
    }
    case QEvent::Resize: {
      const QSize size = static_cast<const QResizeEvent&>(*event).size();
      hook(gui::wm::kSize, 0, gui::wm::makeLParam(size.width(), size.height()));
      deliver({gui::EventKind::Resize});
      return false;
    }
    case QEvent::WindowStateChange: deliver({gui::EventKind::WindowStateChange}); return false;
    case QEvent::Close:
      // The owner decides: it runs the close handler and hides the window.
      event->ignore();
      deliver({gui::EventKind::Close});
      return true;
    default: return false;
  }
}

}  // namespace kestrel::qt
