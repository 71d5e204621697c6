// Group boxes on QGroupBox, scroll boxes on a frame that holds a viewport
// and two QScrollBars, and glass frames on a widget that lays its tint
// over whatever its parent shows.
#include <QGroupBox>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

// ---- Group boxes: the children sit in the box's own coordinates.

class QtGroupBoxPeer : public ChildPeer<gui::GroupBoxPeer>, public QtContainer {
 public:
  explicit QtGroupBoxPeer(gui::WindowOwner* owner) : ChildPeer<gui::GroupBoxPeer>(owner, new QGroupBox) {}
  QWidget* clientWidget() override { return widget_; }
  void repaint() override {
    if (widget_) widget_->update();
  }

 protected:
  void showText(const QString& text) override {
    if (widget_) static_cast<QGroupBox*>(widget_.data())->setTitle(text);
  }
};

// ---- Scroll boxes

class QtScrollBoxPeer;

// The frame lays out the viewport and the bars whenever it changes size.
class ScrollFrame : public QFrame {
 public:
  explicit ScrollFrame(QtScrollBoxPeer* peer) : peer_(peer) {}

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QtScrollBoxPeer* peer_;
};

class QtScrollBoxPeer : public ChildPeer<gui::ScrollBoxPeer>, public QtContainer {
 public:
  explicit QtScrollBoxPeer(gui::WindowOwner* owner) : ChildPeer<gui::ScrollBoxPeer>(owner, new ScrollFrame(this)) {
    viewport_ = new QWidget(widget_);
    bars_[0] = new QScrollBar(Qt::Horizontal, widget_);
    bars_[1] = new QScrollBar(Qt::Vertical, widget_);
    for (int which = 0; which < 2; ++which) {
      bars_[which]->hide();
      QObject::connect(bars_[which], &QAbstractSlider::valueChanged, bars_[which], [this, which](int value) {
        if (!quiet_) scrolledTo(which, value);
      });
    }
    setBorder(border_);
  }

  QWidget* clientWidget() override { return viewport_; }

  gui::Size clientSize() const override {
    if (!viewport_) return gui::ScrollBoxPeer::clientSize();
    const QRect area = viewArea();
    return {area.width(), area.height()};
  }

  void setBars(const gui::ScrollBoxBar& horizontal, const gui::ScrollBoxBar& vertical) override {
    gui::ScrollBoxPeer::setBars(horizontal, vertical);
    layoutInside();
  }
  void setBorder(bool single) override {
    gui::ScrollBoxPeer::setBorder(single);
    if (!widget_) return;
    auto* frame = static_cast<QFrame*>(widget_.data());
    frame->setFrameStyle(single ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
    layoutInside();
  }
  void repaint() override {
    if (widget_) widget_->update();
  }

  // Places the viewport and the bars that the content needs.
  void layoutInside() {
    if (!widget_ || !viewport_) return;
    const QRect area = viewArea();
    viewport_->setGeometry(area);
    quiet_ = true;
    for (int which = 0; which < 2; ++which) {
      const gui::ScrollBoxBar& b = which == 0 ? horizontal_ : vertical_;
      QScrollBar* bar = bars_[which];
      if (!shows(which)) {
        bar->hide();
        continue;
      }
      const int extent = which == 0 ? area.width() : area.height();
      bar->setRange(0, std::max(0, b.range - extent));
      bar->setPageStep(std::max(1, extent));
      bar->setSingleStep(std::max(1, b.increment));
      bar->setValue(b.position);
      if (which == 0) bar->setGeometry(area.left(), area.bottom() + 1, area.width(), thickness());
      else bar->setGeometry(area.right() + 1, area.top(), thickness(), area.height());
      bar->show();
    }
    quiet_ = false;
  }

 private:
  int thickness() const { return widget_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget_); }

  // The content needs a bar when it is wider (taller) than the room left
  // by the frame and by the other bar.
  bool shows(int which) const {
    const QRect inner = static_cast<QFrame*>(widget_.data())->contentsRect();
    const gui::ScrollBoxBar& b = which == 0 ? horizontal_ : vertical_;
    const gui::ScrollBoxBar& other = which == 0 ? vertical_ : horizontal_;
    const int own = which == 0 ? inner.width() : inner.height();
    const int across = which == 0 ? inner.height() : inner.width();
    const bool otherShows = other.visible && other.range > across;
    return b.visible && b.range > own - (otherShows ? thickness() : 0);
  }

  QRect viewArea() const {
    QRect r = static_cast<QFrame*>(widget_.data())->contentsRect();
    if (shows(0)) r.setHeight(std::max(0, r.height() - thickness()));
    if (shows(1)) r.setWidth(std::max(0, r.width() - thickness()));
    return r;
  }

  void scrolledTo(int which, int value) {
    gui::InputEvent e{gui::EventKind::Scroll};
    e.key = which;
    e.x = value;
    if (gui::WindowOwner* o = owner()) o->event(e);
  }

  QPointer<QWidget> viewport_;
  QScrollBar* bars_[2] = {};
  bool quiet_ = false;
};

void ScrollFrame::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  peer_->layoutInside();
}

// ---- Glass frames

class GlassWidget : public QWidget {
 public:
  explicit GlassWidget(gui::GlassFramePeer* peer) : peer_(peer) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QColor tint = qColor(peer_->tint());
    tint.setAlpha(std::clamp(peer_->alpha(), 0, 255));
    p.fillRect(rect(), tint);
  }

 private:
  gui::GlassFramePeer* peer_;
};

class QtGlassFramePeer : public ChildPeer<gui::GlassFramePeer> {
 public:
  explicit QtGlassFramePeer(gui::WindowOwner* owner) : ChildPeer<gui::GlassFramePeer>(owner, new GlassWidget(this)) {}
  // The frame fills nothing itself: its tint goes over the parent's picture.
  void setBackground(uint32_t rgb) override { gui::WindowPeer::setBackground(rgb); }
  void setTint(uint32_t rgb, int alpha) override {
    gui::GlassFramePeer::setTint(rgb, alpha);
    if (widget_) widget_->update();
  }
};

}  // namespace

std::unique_ptr<gui::GroupBoxPeer> makeGroupBoxPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtGroupBoxPeer>(&owner);
}

std::unique_ptr<gui::ScrollBoxPeer> makeScrollBoxPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtScrollBoxPeer>(&owner);
}

std::unique_ptr<gui::GlassFramePeer> makeGlassFramePeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtGlassFramePeer>(&owner);
}

}  // namespace kestrel::qt
