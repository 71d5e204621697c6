#include "objects/controls/combo_box.h"

#include <algorithm>

#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 145;
constexpr int32_t kDefaultHeight = 21;
}  // namespace

// The combo box draws its items as text (its style cannot be changed), so
// the draw and measure handlers never run; the canvas members draw on the
// owner draw's unseen picture.
ComboBox::ComboBox(Machine& m, int type) : ControlOf(m, type), draw_(m), items_(peer(), &draw_) {
  color_ = gui::kColorWindow;
  peer().setBackground(gui::colorToRgb(color_));
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
}

void ComboBox::setCaption(const Str& text) {
  text_ = text;
  items_.show([this, copy = text.str()] { peer().setEditText(copy); });
}

void ComboBox::setItemIndex(int32_t index) {
  items_.setCurrent(index);
  setCaption(items_.current() >= 0 ? items_.item(items_.current()) : Str());
}

void ComboBox::setSorted(uint8_t flag) {
  sorted_ = flag;
  items_.setSorted(flag != 0);
}

void ComboBox::setDropDownCount(int32_t count) {
  dropDownCount_ = count;
  items_.show([this, shown = std::clamp(count, 1, 1000)] { peer().setDropDownCount(shown); });
}

void ComboBox::setMaxLength(int32_t length) {
  maxLength_ = length;
  items_.show([this, limit = std::max(length, 0)] { peer().setMaxLength(limit); });
}

void ComboBox::setItemHeight(int32_t height) {
  itemHeight_ = height;
  items_.heights().forget();
  items_.show([this, shown = std::clamp(height, 1, 32767)] { peer().setItemStyle(gui::ItemStyle::Text, shown); });
}

void ComboBox::repaint() {
  items_.show([this] { peer().repaint(); });
}

void ComboBox::paintItem(int32_t index, const gui::Rect& rect, bool selected, gui::Surface& picture) {
  paintListItem(draw_, items_, handlerFor(gui::EventKind::DrawItem), sender(), {picture, rect, font_, color_}, index,
                selected, true);
}

int32_t ComboBox::measuredHeight(int32_t index) {
  return measureListItem(draw_, items_, handlerFor(gui::EventKind::MeasureItem), sender(), index, itemHeight_, true);
}

void ComboBox::userSelected(int32_t current, const std::vector<bool>& selected) {
  items_.userSelected(current, selected);
  text_ = items_.current() >= 0 ? items_.item(items_.current()) : Str();
  events::notify(m_, handlerFor(gui::EventKind::Change), sender());
}

void ComboBox::userEdited(const std::string& text) {
  text_ = Str(text);
  events::notify(m_, handlerFor(gui::EventKind::Change), sender());
}

}  // namespace kestrel::objects
