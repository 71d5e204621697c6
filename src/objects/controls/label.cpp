#include "objects/controls/label.h"

#include <utility>

#include "events/dispatch.h"
#include "objects/controls/turned_text.h"
#include "toolkit/colors.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 65;
constexpr int32_t kDefaultHeight = 17;
}  // namespace

Label::Label(Machine& m, int type) : ControlOf(m, type) {
  parentColor_ = true;
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  ready_ = true;
  paint();
}

// ---- Properties: each change that shows paints again.

void Label::setWordWrap(uint8_t flag) {
  wordWrap_ = flag;
  paint();
}

void Label::setAlignment(int32_t alignment) {
  alignment_ = alignment;
  paint();
}

void Label::setTransparent(uint8_t flag) {
  transparent_ = flag;
  paint();
}

void Label::setAutoSize(bool on) {
  autoSize_ = on;
  paint();
}

void Label::setLayout(int32_t layout) {
  layout_ = layout;
  paint();
}

void Label::setEscapement(int64_t degrees) {
  const int32_t normal = normaliseEscapement(degrees);
  if (normal == escapement_) return;
  escapement_ = normal;
  paint();
}

void Label::setTextStyle(int32_t style) {
  if (style == textStyle_) return;
  textStyle_ = style;
  paint();
}

void Label::setUpperColor(int32_t color) {
  if (color == upperColor_) return;
  upperColor_ = color;
  paint();
}

void Label::setLowerColor(int32_t color) {
  if (color == lowerColor_) return;
  lowerColor_ = color;
  paint();
}

// A new size shows the text again; only turned text fits the label to it
// again (the unturned text fits when the text or its format changes).
void Label::resized() {
  Control::resized();
  if (painting_) return;
  resizedOnly_ = true;
  paint();
}

// ---- Painting

gui::TextFormat Label::format() const {
  gui::TextFormat f;
  f.horizontal = alignment_ == 1 ? gui::kAlignRightText : alignment_ == 2 ? gui::kAlignCentreText : gui::kAlignLeftText;
  f.wordBreak = wordWrap_ != 0;
  f.expandTabs = true;
  f.prefix = true;
  return f;
}

// The unturned text takes the size of its lines (keeping the right edge of
// right-aligned text); the turned text the box it covers.
void Label::fitToText() {
  gui::Surface& s = peer().picture();
  s.state.font = font_;
  const gui::Rect b = bounds();
  Str text = caption();
  if (escapement_ != 0) {
    const gui::Size extent = s.textExtent(text.view());
    const TurnedText t = turnText(escapement_, extent.width, extent.height);
    if (t.width != b.width() || t.height != b.height()) setBounds(gui::Rect::fromSize(b.left, b.top, t.width, t.height));
    return;
  }
  // Measured text is never empty: an empty caption (or a lone "&") is
  // measured as one space more.
  if (text.empty() || text.view() == "&") text = Str(text.str() + " ");
  const gui::Size need = s.measureText(b.width(), text.view(), format());
  int32_t left = b.left;
  if (alignment_ == 1) left += b.width() - need.width;
  if (need.width != b.width() || need.height != b.height() || left != b.left)
    setBounds(gui::Rect::fromSize(left, b.top, need.width, need.height));
}

void Label::drawCaption(gui::Surface& s, const gui::Rect& box, int32_t dx, int32_t dy, int32_t color) {
  s.state.font = font_;
  s.state.fontColor = gui::colorToRgb(color);
  const Str text = caption();
  if (escapement_ == 0) {
    gui::Rect r{box.left + dx, box.top + dy, box.right + dx, box.bottom + dy};
    if (layout_ == 1 || layout_ == 2) {
      const int32_t need = s.measureText(box.width(), text.view(), format()).height;
      const int32_t shift = layout_ == 1 ? (box.height() - need) / 2 : box.height() - need;
      r.top += shift;
      r.bottom += shift;
    }
    s.drawText(r, text.view(), format());
    return;
  }
  const gui::Size extent = s.textExtent(text.view());
  const TurnedText t = turnText(escapement_, extent.width, extent.height);
  int32_t x = box.left + dx + t.dx;
  const int32_t y = box.top + dy + t.dy;
  if (!autoSize_) {
    if (alignment_ == 2) x += (box.width() - t.width) / 2;
    else if (alignment_ == 1) x += box.width() - t.width;
  }
  s.textOutTurned(x, y, text.view(), escapement_);
}

// The background (unless transparent), then for raised and recessed text
// a shadow copy moved down and right and a highlight copy moved up and
// left, then the face: in the font's colour, or greyed when disabled.
void Label::paint() {
  if (!ready_ || painting_) return;
  events::FlagGuard busy(painting_, true);
  const bool turned = escapement_ != 0;
  if (autoSize_ && (turned || !resizedOnly_)) fitToText();
  resizedOnly_ = false;
  gui::Surface& s = peer().picture();
  if (transparent_ != 0) s.clearTransparent();
  else s.clear(gui::colorToRgb(color_));
  const gui::Rect box{0, 0, s.width(), s.height()};
  int32_t upper = upperColor_;
  int32_t lower = lowerColor_;
  if (textStyle_ == kTextRecessed) std::swap(upper, lower);
  if (textStyle_ == kTextRaised || textStyle_ == kTextRecessed) {
    drawCaption(s, box, 1, 1, lower);
    drawCaption(s, box, -1, -1, upper);
  }
  drawCaption(s, box, 0, 0, enabledFlag() != 0 ? font_.color : gui::kColorGrayText);
  peer().pictureChanged();
}

}  // namespace kestrel::objects
