#include "objects/controls/status_bar.h"

#include <algorithm>

#include "objects/controls/bar_paint.h"
#include "state/errors.h"
#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 200;
constexpr int32_t kDefaultHeight = 19;
constexpr int32_t kGripSize = 12;
}  // namespace

StatusBar::StatusBar(Machine& m, int type) : ControlOf(m, type) {
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  setAlign(kAlignBottom);
  ready_ = true;
  paint();
}

void StatusBar::setSimplePanel(uint8_t flag) {
  simplePanel_ = flag;
  paint();
}

void StatusBar::setSimpleText(const Str& text) {
  simpleText_ = text;
  paint();
}

void StatusBar::setSizeGrip(uint8_t flag) {
  sizeGrip_ = flag;
  paint();
}

void StatusBar::addPanel(const Str& text) {
  panels_.push_back({text});
  paint();
}

void StatusBar::clearPanels() {
  panels_.clear();
  paint();
}

StatusPanel& StatusBar::panelAt(int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(panels_.size())) raiseListIndex(index);
  return panels_[static_cast<size_t>(index)];
}

void StatusBar::resized() {
  Control::resized();
  paint();
}

namespace {

void drawPanelText(gui::Surface& s, const gui::Rect& inside, std::string_view text, int32_t alignment) {
  const int32_t lineHeight = s.textExtent("W").height;
  const int32_t top = (inside.top + inside.bottom - lineHeight) / 2;
  gui::TextFormat format;
  format.horizontal = alignment == 1 ? gui::kAlignRightText : alignment == 2 ? gui::kAlignCentreText
                                                                             : gui::kAlignLeftText;
  format.singleLine = true;
  format.prefix = false;
  s.drawText({inside.left + 2, top, inside.right - 2, top + lineHeight}, text, format);
}

// Three pairs of diagonal ridges in the bottom-right corner.
void drawGrip(gui::Surface& s, int32_t right, int32_t bottom) {
  for (int32_t d = 3; d <= kGripSize; d += 4) {
    for (int32_t i = 0; i < d; ++i) {
      s.setPixel(right - d + i, bottom - 1 - i, gui::colorToRgb(gui::kColorButtonHighlight));
      s.setPixel(right - d + i + 1, bottom - 1 - i, gui::colorToRgb(gui::kColorButtonShadow));
      s.setPixel(right - d + i + 2, bottom - 1 - i, gui::colorToRgb(gui::kColorButtonShadow));
    }
  }
}

}  // namespace

// The face, then each panel sunken side by side from the left (the last
// one takes what is left of the width), or the simple text sunken across
// the bar; the size grip in the bottom-right corner.
void StatusBar::paint() {
  if (!ready_) return;
  gui::Surface& s = peer().picture();
  const int32_t w = s.width();
  const int32_t h = s.height();
  paint::fillBox(s, {0, 0, w, h}, color_);
  s.state.font = font_;
  s.state.fontColor = gui::colorToRgb(enabledFlag() != 0 ? font_.color : gui::kColorGrayText);
  const int32_t end = sizeGrip_ != 0 ? std::max(0, w - kGripSize) : w;
  const gui::Rect strip{0, 2, end, h};
  if (simplePanel_ != 0) {
    drawPanelText(s, paint::loweredBox(s, strip), simpleText_.view(), 0);
  } else {
    int32_t x = 0;
    for (size_t i = 0; i < panels_.size() && x < end; ++i) {
      const StatusPanel& p = panels_[i];
      const bool last = i + 1 == panels_.size();
      const int32_t width = std::clamp(p.width, 0, end - x);
      const gui::Rect box{x, strip.top, last ? end : x + width, strip.bottom};
      drawPanelText(s, paint::loweredBox(s, box), p.text.view(), p.alignment);
      x += width + 2;
    }
  }
  if (sizeGrip_ != 0) drawGrip(s, w, h);
  peer().pictureChanged();
}

}  // namespace kestrel::objects
