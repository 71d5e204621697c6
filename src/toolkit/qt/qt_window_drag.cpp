#include "toolkit/qt/qt_window_drag.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>

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

void deliver(gui::WindowPeer* peer, gui::EventKind kind) {
  gui::InputEvent e{kind};
  if (gui::WindowOwner* owner = peer->owner()) owner->event(e);
}

// Watches the widget that got the press (Qt sends it the mouse until the
// release) and moves the peer's widget; it goes with the pressed widget.
class WindowDrag : public QObject {
 public:
  WindowDrag(gui::WindowPeer* peer, QWidget* pressed, QWidget* moved, QPoint globalAt, std::function<void()> ended)
      : QObject(pressed), peer_(peer), pressed_(pressed), moved_(moved), from_(moved->pos()),
        pressAt_(globalAt), ended_(std::move(ended)) {
    pressed->installEventFilter(this);
    if (!headlessPlatform()) pressed->grabMouse();
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (finished_) return false;
    switch (event->type()) {
      case QEvent::MouseMove: {
        const QPoint global = static_cast<const QMouseEvent&>(*event).globalPosition().toPoint();
        follow(from_ + global - pressAt_);
        return true;
      }
      case QEvent::MouseButtonRelease:
        if (static_cast<const QMouseEvent&>(*event).button() != Qt::LeftButton) return true;
        finish();
        return true;
      default: return false;
    }
  }

 private:
  // Kept inside the parent: a control larger than its parent stays at its
  // left or top edge.
  void follow(QPoint to) {
    if (!moved_) return;
    if (const QWidget* parent = moved_->parentWidget()) {
      to.setX(std::max(0, std::min(to.x(), parent->width() - moved_->width())));
      to.setY(std::max(0, std::min(to.y(), parent->height() - moved_->height())));
    }
    peer_->setGeometry(gui::Rect::fromSize(to.x(), to.y(), moved_->width(), moved_->height()));
  }

  void finish() {
    finished_ = true;
    noteLeftRelease();
    if (pressed_ && QWidget::mouseGrabber() == pressed_) pressed_->releaseMouse();
    if (ended_) ended_();
    deleteLater();
    deliver(peer_, gui::EventKind::DragEnd);
  }

  gui::WindowPeer* peer_;
  QPointer<QWidget> pressed_;
  QPointer<QWidget> moved_;
  QPoint from_;
  QPoint pressAt_;
  std::function<void()> ended_;
  bool finished_ = false;
};

}  // namespace

void noteLeftPress(gui::WindowPeer* peer, QWidget* pressed, QPoint globalAt) { leftPress = {peer, pressed, globalAt}; }

void noteLeftRelease() { leftPress = {}; }

bool startWindowDrag(gui::WindowPeer* peer, QWidget* moved, std::function<void()> ended) {
  if (moved == nullptr || leftPress.peer != peer || !leftPress.widget) return false;
  QWidget* pressed = leftPress.widget;
  const QPoint at = leftPress.globalAt;
  leftPress = {};  // one drag per press
  new WindowDrag(peer, pressed, moved, at, std::move(ended));
  deliver(peer, gui::EventKind::DragStart);
  return true;
}

}  // namespace kestrel::qt
