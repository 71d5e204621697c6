#include "toolkit/qt/qt_events.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QVariant>

#include "toolkit/qt/qt_text.h"

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

// Keys of the US layout that type punctuation, by their virtual keys.
int punctuationKey(int key) {
  switch (key) {
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Equal: case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period: case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash: case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 0xDE;
    // Shifted digits.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
  }
}

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

int virtualKey(const QKeyEvent& e) {
  const int key = e.key();
  if ((e.modifiers() & Qt::KeypadModifier) != 0)
    if (const int pad = keypadKey(key)) return pad;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Help: return 0x2F;
    case Qt::Key_Meta: case Qt::Key_Super_L: return 0x5B;
    case Qt::Key_Super_R: return 0x5C;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    default: return punctuationKey(key);
  }
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

// Mouse down, click (left button released over the window), mouse up; a
// double click gives the double-click event and a mouse down. Keys give
// key down, then key press when they type a character, and key up (not
// for automatic repeats).
bool EventBridge::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto& e = static_cast<const QMouseEvent&>(*event);
      if (e.button() == Qt::LeftButton) leftPressed_ = true;
      deliver(mouseEvent(gui::EventKind::MouseDown, e));
      return false;
    }
    case QEvent::MouseButtonDblClick: {
      const auto& e = static_cast<const QMouseEvent&>(*event);
      leftPressed_ = false;
      if (e.button() == Qt::LeftButton) deliver({gui::EventKind::DblClick});
      deliver(mouseEvent(gui::EventKind::MouseDown, e));
      return false;
    }
    case QEvent::MouseButtonRelease: {
      const auto& e = static_cast<const QMouseEvent&>(*event);
      if (e.button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (widget != nullptr && widget->rect().contains(e.position().toPoint())) deliver({gui::EventKind::Click});
      }
      deliver(mouseEvent(gui::EventKind::MouseUp, e));
      return false;
    }
    case QEvent::MouseMove:
      deliver(mouseEvent(gui::EventKind::MouseMove, static_cast<const QMouseEvent&>(*event)));
      return false;
    case QEvent::KeyPress: {
      const auto& e = static_cast<const QKeyEvent&>(*event);
      if (alreadySeen(e)) return false;
      markSeen(e);
      gui::InputEvent down{gui::EventKind::KeyDown};
      down.key = virtualKey(e);
      down.shift = shiftCode(e.modifiers());
      if (down.key != 0) deliver(down);
      const int character = characterCode(e);
      if (character >= 0) {
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
      if (up.key != 0) deliver(up);
      return false;
    }
    case QEvent::Resize: deliver({gui::EventKind::Resize}); return false;
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
