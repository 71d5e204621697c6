#pragma once
// Qt's input and window events as the run-time's events. One bridge per
// widget turns its mouse, key, resize, close and window-state events into
// gui::InputEvents for the peer's owner; every form and control uses it.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "toolkit/peers/window.h"

class QKeyEvent;

namespace kestrel::qt {

// Shift code of Qt modifiers: Shift 256, Alt 16, Ctrl 1.
int shiftCode(Qt::KeyboardModifiers modifiers);
// The Windows virtual-key code of a key event (0 when there is none).
int virtualKey(const QKeyEvent& e);
// The virtual-key code of a Qt key (0 for none), and the Qt key of a
// virtual key (0 for none): one table both ways (qt_events.cpp).
int virtualKeyOf(int qtKey);
int qtKeyOf(int virtualKey);
// The character code (0 to 255) a key event types, or -1.
int characterCode(const QKeyEvent& e);

class EventBridge : public QObject {
 public:
  // Watches `widget` for `peer` (mouse positions relative to `widget`).
  EventBridge(QWidget* widget, gui::WindowPeer* peer);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void deliver(gui::InputEvent e);
  // The event as a message for the owner's hook.
  void hook(uint32_t msg, intptr_t wParam, intptr_t lParam);

  gui::WindowPeer* peer_;
  bool leftPressed_ = false;
};

// The peer that a widget shows, or nullptr.
gui::WindowPeer* peerOf(const QWidget* widget);
void setPeerOf(QWidget* widget, gui::WindowPeer* peer);

}  // namespace kestrel::qt
