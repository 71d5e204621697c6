// Track bars on Qt: a QSlider whose scale we draw ourselves (ticks every
// Frequency or only where the program placed them, and the selected
// range), so that a huge range or a frequency of 1 draws no more ticks
// than there are pixels. A vertical bar has Min at the top.
#include <QSlider>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <algorithm>

#include "toolkit/colors.h"
#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

// Ticks closer than this many pixels are thinned out.
constexpr int kMinTickSpacing = 3;
constexpr int kTickLength = 4;

class TrackSlider : public QSlider {
 public:
  explicit TrackSlider(const gui::TrackBarPeer* peer) : peer_(peer) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter p(this);
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    opt.tickPosition = QSlider::NoTicks;
    opt.subControls = QStyle::SC_SliderGroove;
    p.drawComplexControl(QStyle::CC_Slider, opt);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
    const gui::TrackBarLook& look = peer_->look();
    drawSelection(p, opt, look, groove, handle);
    drawTicks(p, opt, look, groove, handle);
    opt.subControls = QStyle::SC_SliderHandle;
    p.drawComplexControl(QStyle::CC_Slider, opt);
  }

 private:
  bool vertical() const { return orientation() == Qt::Vertical; }

  // The pixel along the scale (x, or y when vertical) of a value.
  int pixelOf(const QStyleOptionSlider& opt, const QRect& groove, const QRect& handle, int64_t value) const {
    const int thumb = vertical() ? handle.height() : handle.width();
    const int span = (vertical() ? groove.height() : groove.width()) - thumb;
    const int v = static_cast<int>(std::clamp<int64_t>(value, opt.minimum, opt.maximum));
    const int along = QStyle::sliderPositionFromValue(opt.minimum, opt.maximum, v, std::max(span, 0), opt.upsideDown);
    return (vertical() ? groove.top() : groove.left()) + thumb / 2 + along;
  }

  void drawSelection(QPainter& p, const QStyleOptionSlider& opt, const gui::TrackBarLook& look, const QRect& groove,
                     const QRect& handle) {
    if (look.selEnd <= look.selStart) return;
    const int a = pixelOf(opt, groove, handle, look.selStart);
    const int b = pixelOf(opt, groove, handle, look.selEnd);
    const QColor colour = palette().color(QPalette::Highlight);
    const QPoint c = groove.center();
    if (vertical()) p.fillRect(QRect(c.x() - 2, std::min(a, b), 5, std::abs(b - a) + 1), colour);
    else p.fillRect(QRect(std::min(a, b), c.y() - 2, std::abs(b - a) + 1, 5), colour);
  }

  void drawTick(QPainter& p, const gui::TrackBarLook& look, const QRect& handle, int at) {
    const bool before = look.tickMarks == 1 || look.tickMarks == 2;  // above or left
    const bool after = look.tickMarks != 1;                          // below or right
    if (vertical()) {
      if (before) p.drawLine(handle.left() - 2 - kTickLength, at, handle.left() - 2, at);
      if (after) p.drawLine(handle.right() + 2, at, handle.right() + 2 + kTickLength, at);
    } else {
      if (before) p.drawLine(at, handle.top() - 2 - kTickLength, at, handle.top() - 2);
      if (after) p.drawLine(at, handle.bottom() + 2, at, handle.bottom() + 2 + kTickLength);
    }
  }

  void drawTicks(QPainter& p, const QStyleOptionSlider& opt, const gui::TrackBarLook& look, const QRect& groove,
                 const QRect& handle) {
    if (look.tickStyle == 0) return;
    p.setPen(palette().color(QPalette::WindowText));
    const QRect h = vertical() ? QRect(handle.left(), 0, handle.width(), 1) : QRect(0, handle.top(), 1, handle.height());
    drawTick(p, look, h, pixelOf(opt, groove, handle, look.min));
    drawTick(p, look, h, pixelOf(opt, groove, handle, look.max));
    if (look.tickStyle == 2) {
      for (int32_t t : look.ticks)
        if (t >= look.min && t <= look.max) drawTick(p, look, h, pixelOf(opt, groove, handle, t));
      return;
    }
    const int64_t range = int64_t{look.max} - look.min;
    const int thumb = vertical() ? handle.height() : handle.width();
    const int64_t length = std::max((vertical() ? groove.height() : groove.width()) - thumb, 1);
    int64_t step = std::max<int64_t>(look.frequency, 1);
    // Thinned to whole multiples of Frequency that leave room between them.
    if (range > 0 && length * step / range < kMinTickSpacing) {
      const int64_t wanted = (range * kMinTickSpacing + length - 1) / length;
      step *= (wanted + step - 1) / step;
    }
    for (int64_t v = int64_t{look.min} + step; v < look.max; v += step)
      drawTick(p, look, h, pixelOf(opt, groove, handle, v));
  }

  const gui::TrackBarPeer* peer_;
};

class QtTrackBarPeer : public ChildPeer<gui::TrackBarPeer> {
 public:
  explicit QtTrackBarPeer(gui::WindowOwner* owner) : ChildPeer<gui::TrackBarPeer>(owner, new TrackSlider(this)) {
    widget_->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(slider(), &QSlider::valueChanged, widget_, [this](int value) { movedByUser(value); });
    setLook(look_);
  }

  TrackSlider* slider() const { return static_cast<TrackSlider*>(widget_.data()); }

  void setLook(const gui::TrackBarLook& look) override {
    gui::TrackBarPeer::setLook(look);
    if (!widget_) return;
    settingLook_ = true;
    QSlider* s = slider();
    s->setOrientation(look.vertical ? Qt::Vertical : Qt::Horizontal);
    s->setInvertedAppearance(look.vertical);
    s->setInvertedControls(look.vertical);
    s->setRange(look.min, look.max);
    s->setValue(look.position);
    s->setSingleStep(look.lineSize);
    s->setPageStep(look.pageSize);
    settingLook_ = false;
    s->update();
  }

 private:
  void movedByUser(int value) {
    if (settingLook_) return;
    look_.position = value;
    gui::InputEvent e{gui::EventKind::Change};
    e.x = value;
    if (gui::WindowOwner* o = owner()) o->event(e);
  }

  bool settingLook_ = false;
};

}  // namespace

std::unique_ptr<gui::TrackBarPeer> makeTrackBarPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtTrackBarPeer>(&owner);
}

}  // namespace kestrel::qt
