#pragma once
// Splitters (type 79): a thin bar docked beside another control with the
// same Align; dragging the bar with the mouse resizes that control (the
// one docked just before it), and the docking pass moves the bar along.
// The splitter paints its own picture.
#include "objects/control.h"
#include "toolkit/peers/picture.h"

namespace kestrel::objects {

inline constexpr int kSplitterType = 79;

class Splitter : public ControlOf<gui::PicturePeer> {
 public:
  Splitter(Machine& m, int type);

  const char* windowClass() const override { return "TSplitter"; }

  // Align also turns the default cursor between the two split shapes.
  void setSplitterAlign(int32_t align);
  uint8_t beveled() const { return beveled_; }
  void setBeveled(uint8_t flag);
  int32_t minSize() const { return minSize_; }
  void setMinSize(int32_t size) { minSize_ = size; }

  // The control the splitter resizes: the visible sibling docked just
  // before it on the same side, or nullptr (none, or the splitter is not
  // docked to a side).
  Control* neighbour() const;
  // Moves the splitter by `delta` pixels across its side (right or down is
  // positive), as a drag does: the neighbour grows or shrinks, keeping
  // MinSize itself and leaving MinSize to the rest of the parent. Runs
  // OnMoved when the size changed. Returns whether it did.
  bool moveBy(int32_t delta);

  void paint();
  void event(gui::InputEvent& e) override;

 protected:
  void appearanceChanged() override { paint(); }
  void resized() override;

 private:
  bool horizontalSide() const { return align_ == kAlignLeft || align_ == kAlignRight; }
  // The mouse position across the side, in the parent's client area.
  int32_t mouseAcross(const gui::InputEvent& e) const;

  uint8_t beveled_ = 0;
  int32_t minSize_ = 30;
  bool dragging_ = false;
  int32_t dragFrom_ = 0;     // mouse position across the side at the press
  int32_t startSize_ = 0;    // the neighbour's size then
  bool ready_ = false;
};

void registerSplitterType(TypeRegistry& registry);

}  // namespace kestrel::objects
