#include "objects/controls/tab_control.h"

#include "toolkit/colors.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 289;
constexpr int32_t kDefaultHeight = 193;

// The 16 bits a tab size keeps, read back as a signed number.
int32_t sixteenBits(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value)); }
}  // namespace

TabControl::TabControl(Machine& m, int type) : ControlOf(m, type) {
  // The first size is no resize (no handler could be bound yet).
  peer_->setGeometry(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
  lastClientSize_ = clientSize();
  inactiveFont_ = font_;
  showLook();
}

// The user chose a tab: it is selected before the change handler runs.
void TabControl::event(gui::InputEvent& e) {
  if (e.kind != gui::EventKind::Change) {
    Control::event(e);
    return;
  }
  if (e.key < 0 || e.key >= tabCount() || e.key == tabIndex_) return;
  tabIndex_ = e.key;
  peer().setCurrent(tabIndex_);
  events::notify(m_, handlerFor(gui::EventKind::Change), sender());
}

// ---- The tabs

void TabControl::showTabs() {
  std::vector<std::string> texts;
  texts.reserve(tabs_.size());
  for (const Str& t : tabs_) texts.push_back(t.str());
  const bool rowAppears = tabs_.size() == 1;
  peer().setTabs(texts);
  peer().setCurrent(tabIndex_);
  if (rowAppears || tabs_.empty()) realign();  // the row takes room only while there are tabs
}

void TabControl::addTab(const Str& text) { insertTab(tabCount(), text); }

// A tab inserted at or before the selected one keeps that one selected.
void TabControl::insertTab(int32_t index, const Str& text) {
  if (index < 0 || index > tabCount()) raiseListIndex(index);
  tabs_.insert(tabs_.begin() + index, text);
  if (tabIndex_ >= index) ++tabIndex_;
  showTabs();
}

// Deleting the selected tab leaves none selected.
bool TabControl::deleteTab(int32_t index) {
  if (index < 0 || index >= tabCount()) return false;
  tabs_.erase(tabs_.begin() + index);
  if (tabIndex_ == index) tabIndex_ = -1;
  else if (tabIndex_ > index) --tabIndex_;
  showTabs();
  return true;
}

const Str& TabControl::tab(int32_t index) const {
  if (index < 0 || index >= tabCount()) raiseListIndex(index);
  return tabs_[static_cast<size_t>(index)];
}

void TabControl::setTab(int32_t index, const Str& text) {
  if (index < 0 || index >= tabCount()) raiseListIndex(index);
  tabs_[static_cast<size_t>(index)] = text;
  showTabs();
}

void TabControl::setTabIndex(int32_t index) {
  if (index >= tabCount()) return;
  tabIndex_ = index < 0 ? -1 : index;
  peer().setCurrent(tabIndex_);
}

// ---- The row's look

void TabControl::showLook() {
  gui::TabLook look;
  const int32_t side = tabPosition_ >= 0 && tabPosition_ <= 3 ? tabPosition_ : 0;
  look.position = verticalTabs_ != 0 && side < 2 ? side + 2 : side;
  look.tabHeight = tabHeight_;
  look.tabWidth = tabWidth_;
  look.multiLine = multiLine_ != 0;
  look.hotTrack = hotTrack_;
  look.buttons = buttonStyle_ != 0;
  look.flatButtons = flatButtons_ != 0;
  look.flatSeparators = flatSeparators_ != 0;
  look.focusButtons = focusButtons_ != 0;
  look.scrollOpposite = scrollOpposite_ != 0;
  look.inactiveColor = gui::colorToRgb(inactiveColor_);
  look.inactiveColorSet = inactiveColor_ != gui::kColorButtonFace;
  look.inactiveFont = inactiveFontSet_ ? inactiveFont_ : font_;
  look.inactiveFontColor = gui::colorToRgb(look.inactiveFont.color);
  look.inactiveFontSet = inactiveFontSet_;
  if (look == peer().look()) return;
  peer().setLook(look);
  realign();
}

void TabControl::setFlag(uint8_t& flag, uint8_t value) {
  flag = value;
  showLook();
}

void TabControl::setTabHeight(int32_t height) {
  tabHeight_ = sixteenBits(height);
  showLook();
}

void TabControl::setTabWidth(int32_t width) {
  tabWidth_ = sixteenBits(width);
  showLook();
}

void TabControl::setTabPosition(int32_t position) {
  tabPosition_ = position;
  showLook();
}

void TabControl::setHotTrack(bool on) {
  hotTrack_ = on;
  showLook();
}

void TabControl::setInactiveColor(int32_t color) {
  inactiveColor_ = color;
  showLook();
}

void TabControl::setInactiveFont(const gui::FontDesc& font) {
  inactiveFont_ = font;
  inactiveFontSet_ = true;
  showLook();
}

}  // namespace kestrel::objects
