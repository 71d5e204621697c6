#pragma once
// Track bars (type 59): a thumb that slides from Min to Max. OnChange runs
// for moves the user makes, not for positions the program sets.
#include "objects/control.h"
#include "toolkit/peers/track_bar.h"

namespace kestrel::objects {

inline constexpr int kTrackBarType = 59;

// What the track bar's read 7 always gives: the window background's system colour.
inline constexpr int32_t kTrackBarColorRead = -2147483643;

class TrackBar : public ControlOf<gui::TrackBarPeer> {
 public:
  TrackBar(Machine& m, int type);

  const char* windowClass() const override { return "TTrackBar"; }

  const gui::TrackBarLook& look() const { return look_; }
  int32_t minValue() const { return look_.min; }
  int32_t maxValue() const { return look_.max; }
  int32_t position() const { return look_.position; }
  int32_t frequency() const { return look_.frequency; }
  int32_t lineSize() const { return look_.lineSize; }
  int32_t pageSize() const { return look_.pageSize; }
  int32_t selStart() const { return look_.selStart; }
  int32_t selEnd() const { return look_.selEnd; }
  int32_t orientation() const { return look_.vertical ? 1 : 0; }
  int32_t tickMarks() const { return look_.tickMarks; }
  int32_t tickStyle() const { return look_.tickStyle; }
  // A Min above Max raises Max to it (a Max below Min lowers Min); the
  // position stays inside.
  void setMinValue(int32_t value);
  void setMaxValue(int32_t value);
  void setPosition(int32_t value);
  // 0 or less is taken as 1.
  void setFrequency(int32_t value);
  void setLineSize(int32_t value);
  void setPageSize(int32_t value);
  void setSelStart(int32_t value);
  void setSelEnd(int32_t value);
  // 0 horizontal, 1 vertical; a change of orientation swaps width and height.
  void setOrientation(int32_t value);
  void setTickMarks(int32_t value);
  void setTickStyle(int32_t value);
  void addTick(int32_t position);

  void event(gui::InputEvent& e) override;

 private:
  void show();

  gui::TrackBarLook look_;
};

void registerTrackBarType(TypeRegistry& registry);

}  // namespace kestrel::objects
