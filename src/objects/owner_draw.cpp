#include "objects/owner_draw.h"

#include <algorithm>

#include "core/machine.h"
#include "objects/rect_record.h"
#include "toolkit/colors.h"
#include "toolkit/offset_surface.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

// One handler at work: the canvas is the item's view and changes wait,
// until the handler returns (or fails).
class OwnerDraw::Scope {
 public:
  Scope(OwnerDraw& d, gui::Surface* view, const gui::FontDesc* font)
      : d_(d), savedDrawing_(d.drawing_), savedFont_(d.font_) {
    ++d_.depth_;
    if (view != nullptr) d_.drawing_ = view;
    if (font != nullptr) d_.font_ = *font;
  }
  ~Scope() {
    d_.drawing_ = savedDrawing_;
    d_.font_ = savedFont_;
    --d_.depth_;
    d_.finished();
  }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 private:
  OwnerDraw& d_;
  gui::Surface* savedDrawing_;
  gui::FontDesc savedFont_;
};

OwnerDraw::OwnerDraw(Machine& m) : m_(m), self_(std::make_shared<OwnerDraw*>(this)) {}

OwnerDraw::~OwnerDraw() = default;

CanvasTarget OwnerDraw::canvas(gui::Size size) {
  if (drawing_ != nullptr) return {*drawing_, font_};
  const int32_t width = std::clamp(size.width, 1, 4096);
  const int32_t height = std::clamp(size.height, 1, 4096);
  if (!unseen_) unseen_ = toolkit().createSurface(width, height, gui::kWhite);
  else if (unseen_->width() != width || unseen_->height() != height) unseen_->resize(width, height, gui::kWhite);
  return {*unseen_, font_};
}

void OwnerDraw::show(std::function<void()> change) {
  if (depth_ == 0 && waiting_.empty()) {
    change();
    return;
  }
  waiting_.push_back(std::move(change));
  finished();
}

// Changes that waited are shown from the event loop, after the paint that
// was going on when they were made.
void OwnerDraw::finished() {
  if (depth_ > 0 || waiting_.empty() || flushPosted_) return;
  flushPosted_ = true;
  std::weak_ptr<OwnerDraw*> self = self_;
  toolkit().post([self] {
    if (const auto alive = self.lock()) (*alive)->flush();
  });
}

void OwnerDraw::flush() {
  flushPosted_ = false;
  if (depth_ > 0) return;  // painting again: the scope's end posts anew
  // A change may make the window measure at once, and that handler may
  // change more: those wait for the next turn, after these.
  std::vector<std::function<void()>> changes;
  changes.swap(waiting_);
  for (auto& change : changes) change();
  finished();
}

events::Sender OwnerDraw::itemRectangle(const gui::Rect& rect) {
  ObjectWorld& w = world(m_);
  w.declare(kRectangleType, kItemRectangle);  // makes entries up to 50 when there are fewer
  int32_t* f = w.as<Rectangle>(kRectangleType, kItemRectangle).fields;
  f[0] = rect.left;
  f[1] = rect.top;
  f[2] = rect.right;
  f[3] = rect.bottom;
  return {kRectangleType, kItemRectangle};
}

void OwnerDraw::drawItem(int32_t entry, events::Sender sender, const Target& target, int32_t index, bool selected,
                         bool dropWhileBusy) {
  target.picture.clear(gui::colorToRgb(target.color));
  gui::OffsetSurface view(target.picture, target.rect.left, target.rect.top);
  Scope scope(*this, &view, &target.font);
  events::drawItem(m_, entry, sender, index, selected, itemRectangle(target.rect), dropWhileBusy);
}

void OwnerDraw::drawCell(int32_t entry, events::Sender sender, const Target& target, int32_t column, int32_t row,
                         bool selected, bool dropWhileBusy) {
  target.picture.clear(gui::colorToRgb(target.color));
  gui::OffsetSurface view(target.picture, target.rect.left, target.rect.top);
  Scope scope(*this, &view, &target.font);
  events::drawCell(m_, entry, sender, column, row, selected, itemRectangle(target.rect), dropWhileBusy);
}

int32_t OwnerDraw::measureItem(int32_t entry, events::Sender sender, int32_t index, int32_t height,
                               bool dropWhileBusy) {
  Scope scope(*this, nullptr, nullptr);
  return std::clamp(events::measureItem(m_, entry, sender, index, height, dropWhileBusy), 0, 32767);
}

void MeasuredHeights::inserted(size_t index) {
  if (index > heights_.size()) heights_.resize(index, kUnmeasured);
  heights_.insert(heights_.begin() + static_cast<ptrdiff_t>(index), kUnmeasured);
}

void MeasuredHeights::erased(size_t index) {
  if (index < heights_.size()) heights_.erase(heights_.begin() + static_cast<ptrdiff_t>(index));
}

void MeasuredHeights::forget() { std::fill(heights_.begin(), heights_.end(), kUnmeasured); }

}  // namespace kestrel::objects
