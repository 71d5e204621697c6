#include "toolkit/qt/qt_window_drag.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "toolkit/peers/window.h"
#include "toolkit/qt/qt_services.h"

namespace kestrel::qt {

namespace {

struct LeftPress {
  gui::WindowPeer* peer = nullptr;
  QPointer<QWidget> widget;
  QPoint globalAt;
};
// The GUI thread's one mouse.
LeftPress leftPress;
// The press being passed on (Qt hands each window a copy of it).
bool pressSeen = false;
quint64 pressStamp = 0;

void deliver(gui::WindowPeer* peer, gui::EventKind kind) {
  gui::InputEvent e{kind};
  if (gui::WindowOwner* owner = peer->owner()) owner->event(e);
}

// The drag under way: Qt sends the widget that got the press the mouse
// until the release, and its event bridge hands those events here.
struct WindowDrag {
  gui::WindowPeer* peer;
  QPointer<QWidget> pressed;
  QPointer<QWidget> moved;
  QPoint from;
  QPoint pressAt;
  std::function<void()> ended;
};
std::unique_ptr<WindowDrag> activeDrag;

// Kept inside the parent: a control larger than its parent stays at its
// left or top edge.
void follow(const WindowDrag& d, QPoint to) {
  if (!d.moved) return;
  if (const QWidget* parent = d.moved->parentWidget()) {
    to.setX(std::max(0, std::min(to.x(), parent->width() - d.moved->width())));
    to.setY(std::max(0, std::min(to.y(), parent->height() - d.moved->height())));
  }
  d.peer->setGeometry(gui::Rect::fromSize(to.x(), to.y(), d.moved->width(), d.moved->height()));
}

void finish() {
  const std::unique_ptr<WindowDrag> d = std::move(activeDrag);
  noteLeftRelease();
  if (d->pressed && QWidget::mouseGrabber() == d->pressed) d->pressed->releaseMouse();
  if (d->ended) d->ended();
  deliver(d->peer, gui::EventKind::DragEnd);
}

}  // namespace

// A press the window did not take goes on to its parent as a copy with
// the same time: the window it reached first is the one pressed.
void noteLeftPress(gui::WindowPeer* peer, QWidget* pressed, const QMouseEvent& e) {
  if (pressSeen && e.timestamp() == pressStamp) return;
  pressSeen = true;
  pressStamp = e.timestamp();
  leftPress = {peer, pressed, e.globalPosition().toPoint()};
}

void noteLeftRelease() {
  leftPress = {};
  pressSeen = false;
}

bool startWindowDrag(gui::WindowPeer* peer, QWidget* moved, std::function<void()> ended) {
  if (moved == nullptr || activeDrag || leftPress.peer != peer || !leftPress.widget) return false;
  QWidget* pressed = leftPress.widget;
  activeDrag.reset(new WindowDrag{peer, pressed, moved, moved->pos(), leftPress.globalAt, std::move(ended)});
  leftPress = {};  // one drag per press
  if (!headlessPlatform()) pressed->grabMouse();
  deliver(peer, gui::EventKind::DragStart);
  return true;
}

bool windowDragEvent(QWidget* watched, QEvent* event) {
  if (!activeDrag || watched == nullptr || watched != activeDrag->pressed) return false;
  switch (event->type()) {
    case QEvent::MouseMove: {
      const QPoint global = static_cast<const QMouseEvent&>(*event).globalPosition().toPoint();
      follow(*activeDrag, activeDrag->from + global - activeDrag->pressAt);
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<const QMouseEvent&>(*event).button() == Qt::LeftButton) finish();
      return true;
    default: return false;
  }
}

void endWindowDrags(const gui::WindowPeer* peer) {
  if (activeDrag && activeDrag->peer == peer) activeDrag.reset();
  if (leftPress.peer == peer) leftPress = {};
}

}  // namespace kestrel::qt
