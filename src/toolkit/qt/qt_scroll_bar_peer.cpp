// Scroll bars on QScrollBar. Qt's slider actions become the system's
// scroll codes: an arrow gives line up or down, the track page up or
// down, Home and End top and bottom, dragging the thumb thumb-track at
// each move and thumb-position where it is let go; letting go of the
// mouse (or the key) ends the scroll with end-scroll. The owner decides
// the position after each code, and the bar shows the owner's position.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

using namespace gui::scroll;

class QtScrollBarPeer;

class ScrollBarWidget : public QScrollBar {
 public:
  explicit ScrollBarWidget(QtScrollBarPeer* peer) : QScrollBar(Qt::Horizontal), peer_(peer) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  QtScrollBarPeer* peer_;
};

class QtScrollBarPeer : public ChildPeer<gui::ScrollBarPeer> {
 public:
  explicit QtScrollBarPeer(gui::WindowOwner* owner)
      : ChildPeer<gui::ScrollBarPeer>(owner, new ScrollBarWidget(this)) {
    widget_->setFocusPolicy(Qt::StrongFocus);
    QScrollBar* b = bar();
    b->setTracking(true);
    show();
    QObject::connect(b, &QAbstractSlider::actionTriggered, b, [this](int action) { acted(action); });
    QObject::connect(b, &QAbstractSlider::sliderReleased, b, [this] {
      if (quiet_) return;
      deliver(kThumbPosition, bar()->sliderPosition());
      deliver(kEndScroll, position_);
      scrolling_ = false;
    });
  }

  QScrollBar* bar() const { return static_cast<QScrollBar*>(widget_.data()); }

  void setRange(int32_t min, int32_t max, int32_t position) override {
    gui::ScrollBarPeer::setRange(min, max, position);
    if (widget_) show();
  }
  void setSteps(int32_t small, int32_t large) override {
    gui::ScrollBarPeer::setSteps(small, large);
    if (widget_) show();
  }
  void setVertical(bool vertical) override {
    gui::ScrollBarPeer::setVertical(vertical);
    if (widget_) bar()->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
  }

  // The mouse button or the key that scrolled was let go.
  void released() {
    if (!scrolling_ || bar()->isSliderDown()) return;
    scrolling_ = false;
    deliver(kEndScroll, position_);
  }

 private:
  void show() {
    quiet_ = true;
    QScrollBar* b = bar();
    b->setRange(min_, max_);
    b->setSingleStep(small_);
    b->setPageStep(large_);
    b->setValue(position_);
    b->setSliderPosition(position_);
    quiet_ = false;
  }

  void acted(int action) {
    if (quiet_) return;
    int code = -1;
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: code = kLineUp; break;
      case QAbstractSlider::SliderSingleStepAdd: code = kLineDown; break;
      case QAbstractSlider::SliderPageStepSub: code = kPageUp; break;
      case QAbstractSlider::SliderPageStepAdd: code = kPageDown; break;
      case QAbstractSlider::SliderToMinimum: code = kTop; break;
      case QAbstractSlider::SliderToMaximum: code = kBottom; break;
      // A move without the thumb held (the wheel) is a thumb let go at once.
      case QAbstractSlider::SliderMove: code = bar()->isSliderDown() ? kThumbTrack : kThumbPosition; break;
      default: return;
    }
    scrolling_ = true;
    deliver(code, bar()->sliderPosition());
    show();  // Qt then takes the slider's position as the value
    if (action == QAbstractSlider::SliderMove && !bar()->isSliderDown()) released();
  }

  void deliver(int code, int32_t thumb) {
    gui::InputEvent e{gui::EventKind::Scroll};
    e.key = code;
    e.x = thumb;
    if (gui::WindowOwner* o = owner()) o->event(e);
  }

  bool quiet_ = false;
  bool scrolling_ = false;
};

void ScrollBarWidget::mouseReleaseEvent(QMouseEvent* event) {
  QScrollBar::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) peer_->released();
}

void ScrollBarWidget::keyReleaseEvent(QKeyEvent* event) {
  QScrollBar::keyReleaseEvent(event);
  if (!event->isAutoRepeat()) peer_->released();
}

}  // namespace

std::unique_ptr<gui::ScrollBarPeer> makeScrollBarPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtScrollBarPeer>(&owner);
}

}  // namespace kestrel::qt
