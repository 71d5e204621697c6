#pragma once
// Tab controls (type 53): a row of tabs, whose texts the program keeps as
// a list, over a page area that holds other controls. Choosing a tab runs
// the change handler; the program reads TabIndex and shows what goes with
// the tab (the page area is one for all tabs).
#include <vector>

#include "objects/control.h"
#include "toolkit/peers/tab_control.h"

namespace kestrel::objects {

inline constexpr int kTabControlType = 53;

class TabControl : public ControlOf<gui::TabPeer> {
 public:
  TabControl(Machine& m, int type);

  const char* windowClass() const override { return "TTabControl"; }
  void event(gui::InputEvent& e) override;
  // The tabs' texts, for those who copy a list of strings.
  std::vector<Str>* stringItems() override { return &tabs_; }

  // ---- The tabs. Indices outside the tabs raise "List index out of bounds (N)".
  int32_t tabCount() const { return static_cast<int32_t>(tabs_.size()); }
  void addTab(const Str& text);
  // At 0 to the count (the count appends).
  void insertTab(int32_t index, const Str& text);
  // False when there is no such tab (nothing changes then).
  bool deleteTab(int32_t index);
  const Str& tab(int32_t index) const;
  void setTab(int32_t index, const Str& text);

  // The selected tab, -1 for none. A value past the last tab changes
  // nothing; any negative one selects none.
  int32_t tabIndex() const { return tabIndex_; }
  void setTabIndex(int32_t index);

  // Tab sizes keep the 16 bits the program set; 0 or less is the natural size.
  int32_t tabHeight() const { return tabHeight_; }
  void setTabHeight(int32_t height);
  int32_t tabWidth() const { return tabWidth_; }
  void setTabWidth(int32_t width);
  int32_t tabPosition() const { return tabPosition_; }
  void setTabPosition(int32_t position);
  bool hotTrack() const { return hotTrack_; }
  void setHotTrack(bool on);
  int32_t inactiveColor() const { return inactiveColor_; }
  void setInactiveColor(int32_t color);
  void setInactiveFont(const gui::FontDesc& font);

  // Flags: kept as set, shown by the tab row.
  uint8_t multiLine() const { return multiLine_; }
  void setMultiLine(uint8_t flag) { setFlag(multiLine_, flag); }
  uint8_t scrollOpposite() const { return scrollOpposite_; }
  void setScrollOpposite(uint8_t flag) { setFlag(scrollOpposite_, flag); }
  uint8_t buttonStyle() const { return buttonStyle_; }
  void setButtonStyle(uint8_t flag) { setFlag(buttonStyle_, flag); }
  uint8_t flatButtons() const { return flatButtons_; }
  void setFlatButtons(uint8_t flag) { setFlag(flatButtons_, flag); }
  uint8_t flatSeparators() const { return flatSeparators_; }
  void setFlatSeparators(uint8_t flag) { setFlag(flatSeparators_, flag); }
  uint8_t focusButtons() const { return focusButtons_; }
  void setFocusButtons(uint8_t flag) { setFlag(focusButtons_, flag); }
  uint8_t verticalTabs() const { return verticalTabs_; }
  void setVerticalTabs(uint8_t flag) { setFlag(verticalTabs_, flag); }

 protected:
  gui::Rect dockArea() const override { return peer().displayArea(); }
  // The row's font (the unselected tabs' too, unless they have their own)
  // sets the row's depth.
  void appearanceChanged() override {
    showLook();
    realign();
  }

 private:
  void setFlag(uint8_t& flag, uint8_t value);
  void showTabs();
  // Tells the peer how the row looks; the page area may have moved.
  void showLook();

  std::vector<Str> tabs_;
  int32_t tabIndex_ = -1;
  int32_t tabHeight_ = 0;
  int32_t tabWidth_ = 0;
  int32_t tabPosition_ = 0;
  bool hotTrack_ = false;
  int32_t inactiveColor_ = gui::kColorButtonFace;
  gui::FontDesc inactiveFont_;
  bool inactiveFontSet_ = false;
  uint8_t multiLine_ = 0;
  uint8_t scrollOpposite_ = 0;
  uint8_t buttonStyle_ = 0;
  uint8_t flatButtons_ = 0;
  uint8_t flatSeparators_ = 0;
  uint8_t focusButtons_ = 0;
  uint8_t verticalTabs_ = 0;
};

void registerTabControlType(TypeRegistry& registry);

}  // namespace kestrel::objects
