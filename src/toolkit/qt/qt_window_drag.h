#pragma once
// Moving a control with the mouse (the system command that drags a
// window): from the left button's press until it is let go, the control
// follows the mouse, kept inside its parent's client area, with the mouse
// grabbed on the way (the pointer may leave the control).
#include <QPoint>
#include <functional>

class QEvent;
class QMouseEvent;
class QWidget;

namespace kestrel::gui {
class WindowPeer;
}

namespace kestrel::qt {

// The event bridges note where the left button went down, on which peer's
// window, and when it came up again.
void noteLeftPress(gui::WindowPeer* peer, QWidget* pressed, const QMouseEvent& e);
void noteLeftRelease();

// Starts moving `moved`, the widget of `peer`, when the left button is
// held on that window: DragStart now, DragEnd (after `ended`) when the
// button is let go; the release is no click. False when no button is held.
bool startWindowDrag(gui::WindowPeer* peer, QWidget* moved, std::function<void()> ended = {});
// For the event bridges: takes the mouse moves and the release of the
// widget a drag follows (true: the event is used up).
bool windowDragEvent(QWidget* watched, QEvent* event);
// A peer goes away: no drag or press of it is remembered.
void endWindowDrags(const gui::WindowPeer* peer);

}  // namespace kestrel::qt
