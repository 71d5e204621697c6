#pragma once
// Outlines: items on levels, shown as a tree with optional pictures. The
// engine keeps the items and tells the peer each change; the peer keeps
// a shown item for each and tells the owner what the user selects.
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

// An item as the toolkit sees it: the engine's own, opaque. nullptr stands
// for the invisible item above the top-level ones.
using OutlineItemRef = const void*;

// What the user does to an outline.
class OutlineListener {
 public:
  virtual ~OutlineListener() = default;
  virtual void userSelected(OutlineItemRef item) = 0;
  virtual void userExpanded(OutlineItemRef item, bool expanded) = 0;
};

// The pictures an outline can show beside its items.
enum class OutlinePicture { Closed, Leaf, Minus, Open, Plus };
inline constexpr int kOutlinePictureCount = 5;

struct OutlineLook {
  int32_t style = 5;          // 0 text, 1 +/- and text, 2 picture and text, 3 all three, 4 tree, 5 tree and picture
  int32_t itemHeight = 16;
  int32_t scrollBars = 3;     // 0 none, 1 horizontal, 2 vertical, 3 both
  bool border = true;
  bool drawTreeRoot = true;   // lines and buttons for the top-level items too
  bool operator==(const OutlineLook&) const = default;
};

class OutlinePeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;

  void setListener(OutlineListener* listener) { listener_ = listener; }

  virtual void insertItem(OutlineItemRef /*parent*/, int32_t /*row*/, OutlineItemRef /*item*/,
                          std::string_view /*text*/) {}
  // Takes the item out with the items below it.
  virtual void removeItem(OutlineItemRef /*item*/) {}
  virtual void clearItems() {}
  virtual void setItemText(OutlineItemRef /*item*/, std::string_view /*text*/) {}
  virtual void showExpanded(OutlineItemRef /*item*/, bool /*expanded*/) {}
  virtual void showSelected(OutlineItemRef /*item*/) {}
  virtual void setLook(const OutlineLook& look) { look_ = look; }
  const OutlineLook& look() const { return look_; }
  // nullptr: the picture goes.
  virtual void setPicture(OutlinePicture /*which*/, const Surface* /*picture*/) {}

 protected:
  OutlineListener* listener_ = nullptr;
  OutlineLook look_;
};

}  // namespace kestrel::gui
