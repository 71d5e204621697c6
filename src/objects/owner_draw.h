#pragma once
// Owner drawing: items (or cells, or sections) that the program paints in
// a handler that gets the item's index and rectangle. List and combo boxes
// use it; list views, string grids and header controls are meant to use
// the same piece. docs/controls/lists.md describes it for programs.
//
// A control that draws its items this way keeps one OwnerDraw and:
//
//   - lets its canvas members draw on canvas(): during a draw handler the
//     item's own picture, seen through the control's coordinates, so that
//     nothing drawn outside the item lands anywhere; at other times a
//     picture of the control's size that nobody sees;
//   - raises its draw events with drawItem() or drawCell(), which pass the
//     item's rectangle as rect:50 (entry 50 of the rectangle table, made
//     when the table is shorter, and overwritten by every draw), and its
//     measure events with measureItem(); these handlers run with the
//     list-draw-busy flag set (events/dispatch.h);
//   - sends every change the window must show through show(): while a
//     handler paints or measures, changes wait and are shown in order once
//     painting has ended (from the event loop, after the window's paint),
//     so a window never has its items changed while it paints them. The
//     engine's own state changes at once;
//   - keeps measured heights in a MeasuredHeights, so that the measure
//     handler runs once per item.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "events/dispatch.h"
#include "objects/canvas_ops.h"
#include "toolkit/gui_types.h"
#include "toolkit/surface.h"

namespace kestrel {
class Machine;
}

namespace kestrel::objects {

// The rectangle object that draw handlers get: rect:50.
inline constexpr int32_t kItemRectangle = 50;

class OwnerDraw {
 public:
  explicit OwnerDraw(Machine& m);
  ~OwnerDraw();
  OwnerDraw(const OwnerDraw&) = delete;
  OwnerDraw& operator=(const OwnerDraw&) = delete;

  // What one draw paints on: `picture` has the item's size and stands at
  // `rect` in the control's client area; it is filled with `color` (a
  // colour value) first, and the canvas takes `font`.
  struct Target {
    gui::Surface& picture;
    gui::Rect rect;
    const gui::FontDesc& font;
    int32_t color;
  };

  // The canvas of the canvas members; `size` is the control's client size
  // (the unseen picture's, outside draw handlers).
  CanvasTarget canvas(gui::Size size);
  // True while a draw or measure handler of this control runs.
  bool painting() const { return depth_ > 0; }
  // Runs `change` now, or once painting has ended (see above).
  void show(std::function<void()> change);

  // A list's item: index, selected (the handler gets 0 when it is).
  void drawItem(int32_t entry, events::Sender sender, const Target& target, int32_t index, bool selected,
                bool dropWhileBusy);
  // A grid's cell: column, row, selected (the handler gets 1 when it is).
  void drawCell(int32_t entry, events::Sender sender, const Target& target, int32_t column, int32_t row,
                bool selected, bool dropWhileBusy);
  // An item's height: the handler gets `height` and may change it; the
  // result is kept within 0 to 32767.
  int32_t measureItem(int32_t entry, events::Sender sender, int32_t index, int32_t height, bool dropWhileBusy);

 private:
  class Scope;
  // Writes `rect` into rect:50 and names it.
  events::Sender itemRectangle(const gui::Rect& rect);
  void finished();
  void flush();

  Machine& m_;
  int depth_ = 0;
  gui::Surface* drawing_ = nullptr;  // the item's view while a handler draws
  std::unique_ptr<gui::Surface> unseen_;
  gui::FontDesc font_;
  std::vector<std::function<void()>> waiting_;
  bool flushPosted_ = false;
  // Lets a posted flush tell that this is gone.
  std::shared_ptr<OwnerDraw*> self_;
};

// The heights of items that the program measures, each measured once:
// the control tells it where items come and go.
class MeasuredHeights {
 public:
  void inserted(size_t index);
  void erased(size_t index);
  void cleared() { heights_.clear(); }
  // Every item is measured again when next asked (the style or the
  // standard height changed).
  void forget();
  // The height of item `index`, from `measure()` the first time. (The
  // handler that measures may add or remove items: the list is looked at
  // again afterwards.)
  template <class Measure>
  int32_t height(size_t index, Measure&& measure) {
    if (index < heights_.size() && heights_[index] != kUnmeasured) return heights_[index];
    const int32_t measured = measure();
    if (index >= heights_.size()) heights_.resize(index + 1, kUnmeasured);
    heights_[index] = measured;
    return measured;
  }

 private:
  static constexpr int32_t kUnmeasured = -1;
  std::vector<int32_t> heights_;
};

}  // namespace kestrel::objects
