#pragma once
// Tab controls: a row of tabs over a page area that holds other controls.
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/peers/window.h"

namespace kestrel::gui {

// How the tab row looks. Sizes of 0 or less give the tabs their natural size.
struct TabLook {
  int position = 0;  // the row's side: 0 top, 1 bottom, 2 left, 3 right
  int32_t tabHeight = 0;
  int32_t tabWidth = 0;
  bool multiLine = false;
  bool hotTrack = false;
  bool buttons = false;      // tabs drawn as buttons
  bool flatButtons = false;  // ... flat ones
  bool flatSeparators = false;
  bool focusButtons = false;
  bool scrollOpposite = false;
  uint32_t inactiveColor = 0;  // unselected tabs (0x00BBGGRR)
  bool inactiveColorSet = false;
  FontDesc inactiveFont;       // unselected tabs' font ...
  uint32_t inactiveFontColor = 0;
  bool inactiveFontSet = false;  // ... when the program gave one
  bool operator==(const TabLook&) const = default;
};

// A tab control. The user choosing a tab reaches the owner as a Change
// event with the tab's index in `key`; the owner then calls setCurrent.
class TabPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;
  virtual void setTabs(const std::vector<std::string>& texts) { tabs_ = texts; }
  const std::vector<std::string>& tabs() const { return tabs_; }
  // The selected tab; -1 shows every tab unselected.
  virtual void setCurrent(int32_t index) { current_ = index; }
  int32_t current() const { return current_; }
  virtual void setLook(const TabLook& look) { look_ = look; }
  const TabLook& look() const { return look_; }
  // The page area under (or beside) the tab row, inside its frame, in
  // client coordinates: where aligned children dock.
  virtual Rect displayArea() const;

 protected:
  std::vector<std::string> tabs_;
  int32_t current_ = -1;
  TabLook look_;
};

}  // namespace kestrel::gui
