#pragma once
// Push buttons with a glyph: bitmap buttons and flat buttons.
#include <cstdint>
#include <memory>

#include "toolkit/peers/window.h"
#include "toolkit/surface.h"

namespace kestrel::gui {

// How a push button shows its glyph and caption.
struct ButtonLook {
  int layout = 0;      // glyph 0 left of the caption, 1 right, 2 above, 3 below
  int spacing = 4;     // pixels between glyph and caption
  int numGlyphs = 1;   // pictures side by side in the glyph: up, disabled, pressed, down
  bool flat = false;   // no frame until the mouse is over it
  bool down = false;   // stays pressed
  bool focusable = true;
  int kind = 0;        // a standard glyph shown when there is no glyph: 1 OK, 2 Cancel ... 10 All
  bool oval = false;   // an ellipse that takes the mouse only inside its outline
  uint32_t highlight = 0xFFFFFF;  // oval: the lit edge (RGB)
  uint32_t shadow = 0x808080;     // oval: the shaded edge (RGB)
  bool transparent = false;       // oval: no face, the parent shows through
  bool operator==(const ButtonLook&) const = default;
};

// A push button with a glyph (bitmap and flat buttons).
class ButtonPeer : public WindowPeer {
 public:
  explicit ButtonPeer(WindowOwner* owner);
  ~ButtonPeer() override;
  // A copy of the glyph (nullptr or empty: none); pixels of the
  // transparent colour are left out.
  virtual void setGlyph(const Surface* glyph, int32_t transparentColor);
  const Surface* glyph() const { return glyph_.get(); }
  virtual void setLook(const ButtonLook& look) { look_ = look; }
  const ButtonLook& look() const { return look_; }
  // Enter (default) or Escape (cancel) anywhere in the window clicks it.
  virtual void setKeys(bool enterClicks, bool escapeClicks) {
    enterClicks_ = enterClicks;
    escapeClicks_ = escapeClicks;
  }
 protected:
  std::unique_ptr<Surface> glyph_;
  int32_t transparentColor_ = 0;
  ButtonLook look_;
  bool enterClicks_ = false;
  bool escapeClicks_ = false;
};

}  // namespace kestrel::gui
