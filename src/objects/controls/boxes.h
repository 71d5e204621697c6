#pragma once
// Group boxes (type 69) and scroll boxes (type 70): containers. A group
// box frames its children under a caption; a scroll box shows a window on
// content larger than itself and moves its children as it scrolls, so a
// child's Left and Top are always relative to what is in view.
#include "objects/control.h"
#include "toolkit/peers/boxes.h"

namespace kestrel::objects {

inline constexpr int kGroupBoxType = 69;
inline constexpr int kScrollBoxType = 70;

class GroupBox : public ControlOf<gui::GroupBoxPeer> {
 public:
  GroupBox(Machine& m, int type);
  const char* windowClass() const override { return "TGroupBox"; }
  void refresh() { peer().repaint(); }
};

// One scroll bar's settings besides those the peer shows.
struct ScrollBoxAxis {
  gui::ScrollBoxBar bar;
  int32_t margin = 0;
  uint8_t tracking = 0;
  uint8_t visible = 1;  // the flag byte as the program set it
};

class ScrollBox : public ControlOf<gui::ScrollBoxPeer> {
 public:
  ScrollBox(Machine& m, int type);
  const char* windowClass() const override { return "TScrollBox"; }
  void event(gui::InputEvent& e) override;

  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  void refresh() { peer().repaint(); }

  // Axis 0 horizontal, 1 vertical.
  const ScrollBoxAxis& axis(int which) const { return axes_[which]; }
  // Range below 0 counts as 0; the position stays inside the new range.
  void setRange(int which, int32_t range);
  // Clamped to 0 .. range less the visible extent; the children move by
  // the difference.
  void setPosition(int which, int32_t position);
  void setIncrement(int which, int32_t increment);
  void setMargin(int which, int32_t margin) { axes_[which].margin = margin; }
  void setTracking(int which, uint8_t flag) { axes_[which].tracking = flag; }
  void setBarVisible(int which, uint8_t flag);

 protected:
  void resized() override;

 private:
  int32_t visibleExtent(int which) const;
  void showBars() { peer().setBars(axes_[0].bar, axes_[1].bar); }

  ScrollBoxAxis axes_[2];
  int32_t borderStyle_ = 1;
};

void registerBoxTypes(TypeRegistry& registry);

}  // namespace kestrel::objects
