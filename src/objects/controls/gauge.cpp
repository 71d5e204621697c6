#include "objects/controls/gauge.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "objects/controls/bar_paint.h"
#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultSize = 100;
}  // namespace

Gauge::Gauge(Machine& m, int type) : ControlOf(m, type) {
  color_ = 0x00FFFFFF;
  setBounds(gui::Rect::fromSize(0, 0, kDefaultSize, kDefaultSize));
  ready_ = true;
  paint();
}

void Gauge::setKind(int32_t kind) {
  kind_ = kind;
  paint();
}

void Gauge::setMinValue(int32_t value) {
  min_ = value;
  keepProgressInRange();
  paint();
}

void Gauge::setMaxValue(int32_t value) {
  max_ = value;
  keepProgressInRange();
  paint();
}

void Gauge::setProgress(int32_t value) {
  progress_ = value;
  keepProgressInRange();
  paint();
}

void Gauge::keepProgressInRange() {
  if (min_ <= max_) progress_ = std::clamp(progress_, min_, max_);
}

void Gauge::setBackColor(int32_t color) {
  backColor_ = color;
  paint();
}

void Gauge::setForeColor(int32_t color) {
  foreColor_ = color;
  paint();
}

void Gauge::setShowText(uint8_t flag) {
  showText_ = flag;
  paint();
}

void Gauge::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  paint();
}

// In 64 bits: a range of 2^32 - 1 times 100 does not fit in 32.
int32_t Gauge::percentDone() const {
  const int64_t range = static_cast<int64_t>(max_) - min_;
  if (range <= 0) return 0;
  const int64_t done = (static_cast<int64_t>(progress_) - min_) * 100 / range;
  return static_cast<int32_t>(std::clamp<int64_t>(done, 0, 100));
}

void Gauge::resized() {
  Control::resized();
  paint();
}

namespace {

// The pixels of the ellipse in `box` whose angle, clockwise from twelve
// o'clock, is below `sweep` degrees (a needle gauge's half ellipse sits on
// its bottom edge and turns from nine o'clock instead).
void fillSector(gui::Surface& s, const gui::Rect& box, double sweep, uint32_t rgb, bool half) {
  const double rx = box.width() / 2.0;
  const double ry = half ? box.height() : box.height() / 2.0;
  const double cx = box.left + rx;
  const double cy = half ? box.bottom : box.top + ry;
  if (rx <= 0 || ry <= 0) return;
  for (int32_t y = box.top; y < box.bottom; ++y) {
    for (int32_t x = box.left; x < box.right; ++x) {
      const double dx = (x + 0.5 - cx) / rx;
      const double dy = (y + 0.5 - cy) / ry;
      if (dx * dx + dy * dy > 1.0) continue;
      double angle = half ? std::atan2(-dy, -dx) : std::atan2(dx, -dy);
      if (angle < 0) angle += 2 * std::numbers::pi;
      if (angle * 180 / std::numbers::pi < sweep) s.setPixel(x, y, rgb);
    }
  }
}

}  // namespace

// The border, the inside in BackColor, what is done in ForeColor, and the
// percentage centred over it in the gauge's font.
void Gauge::paint() {
  if (!ready_) return;
  gui::Surface& s = peer().picture();
  gui::Rect r{0, 0, s.width(), s.height()};
  paint::fillBox(s, r, color_);
  if (borderStyle_ == 1) r = paint::frameBox(s, r, gui::kBlack, gui::kBlack);
  const int32_t percent = percentDone();
  const uint32_t fore = gui::colorToRgb(foreColor_);
  switch (kind_) {
    case kGaugeHorizontal:
    case kGaugeVertical: {
      paint::fillBox(s, r, backColor_);
      gui::Rect done = r;
      if (kind_ == kGaugeHorizontal) done.right = r.left + static_cast<int32_t>(int64_t{r.width()} * percent / 100);
      else done.top = r.bottom - static_cast<int32_t>(int64_t{r.height()} * percent / 100);
      paint::fillBox(s, done, foreColor_);
      break;
    }
    case kGaugePie:
      fillSector(s, r, 360, gui::colorToRgb(backColor_), false);
      fillSector(s, r, percent * 3.6, fore, false);
      break;
    case kGaugeNeedle: {
      fillSector(s, r, 180, gui::colorToRgb(backColor_), true);
      if (r.width() <= 0 || r.height() <= 0) break;
      const double angle = percent * std::numbers::pi / 100;
      const double cx = r.left + r.width() / 2.0;
      const int32_t x0 = static_cast<int32_t>(cx);
      const int32_t y0 = r.bottom - 1;
      const int32_t x1 = static_cast<int32_t>(std::lround(cx - std::cos(angle) * (r.width() / 2.0 - 1)));
      const int32_t y1 = static_cast<int32_t>(std::lround(r.bottom - 1 - std::sin(angle) * (r.height() - 1)));
      s.state.pen = fore;
      s.line(x0, y0, x1, y1);
      s.setPixel(x1, y1, fore);
      break;
    }
    default: paint::fillBox(s, r, backColor_); break;
  }
  if (showText_ != 0) {
    s.state.font = font_;
    s.state.fontColor = gui::colorToRgb(enabledFlag() != 0 ? font_.color : gui::kColorGrayText);
    const std::string text = std::to_string(percent) + "%";
    const int32_t lineHeight = s.textExtent("W").height;
    const int32_t top = (r.top + r.bottom - lineHeight) / 2;
    gui::TextFormat format;
    format.horizontal = gui::kAlignCentreText;
    format.singleLine = true;
    s.drawText({r.left, top, r.right, top + lineHeight}, text, format);
  }
  peer().pictureChanged();
}

}  // namespace kestrel::objects
