#pragma once
// Scroll bars (type 54): a position between Min and Max that the user
// moves with the arrows, the track and the thumb. Each move runs the
// scroll handler with the scroll code and the position the move would
// give; the position the handler leaves is the one taken (kept within
// Min and Max), and a new position runs the change handler.
#include "objects/control.h"
#include "toolkit/peers/scroll_bar.h"

namespace kestrel::objects {

inline constexpr int kScrollBarType = 54;

class ScrollBar : public ControlOf<gui::ScrollBarPeer> {
 public:
  ScrollBar(Machine& m, int type);

  const char* windowClass() const override { return "TScrollBar"; }
  // Scroll events from the window (and from tests).
  void event(gui::InputEvent& e) override;

  // 0 horizontal, 1 vertical (any value but 0); a change swaps Width and Height.
  int32_t kind() const { return kind_; }
  void setKind(int32_t kind);
  // Steps keep the 16 bits set; 0 or less (after that) steps by 1.
  int32_t largeChange() const { return largeChange_; }
  void setLargeChange(int32_t step);
  int32_t smallChange() const { return smallChange_; }
  void setSmallChange(int32_t step);
  // Min above Max raises "Scrollbar property out of range".
  int32_t min() const { return min_; }
  void setMin(int32_t value);
  int32_t max() const { return max_; }
  void setMax(int32_t value);
  // Kept within Min and Max; a change runs the change handler.
  int32_t position() const { return position_; }
  void setPosition(int32_t value);

  // A move by the user: runs the scroll handler with the code and the
  // position it would give, then takes the position the handler left.
  void scrolled(int code, int32_t thumbPosition);

 private:
  void setRange(int32_t min, int32_t max, int32_t position);

  int32_t kind_ = 0;
  int32_t largeChange_ = 1;
  int32_t smallChange_ = 1;
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t position_ = 0;
};

void registerScrollBarType(TypeRegistry& registry);

}  // namespace kestrel::objects
