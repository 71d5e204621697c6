#pragma once
// Paint boxes (type 50): an area of its parent that the program paints,
// usually from its paint handler, with the canvas operations.
//
// The paint box keeps its picture, so what was drawn stays on the screen
// until it is drawn over. A paint runs the paint handler outside the
// window system's own painting and then shows the picture: when the box
// is first shown, when it changes size, and on Repaint (at once). With a
// paint handler bound, each paint first clears the picture to the
// parent's colour; without one, Repaint keeps what is there. A Repaint
// inside the paint handler only asks for another paint.

#include "objects/canvas_ops.h"
#include "objects/control.h"
#include "toolkit/peers/paint_box.h"

namespace kestrel::objects {

inline constexpr int kPaintBoxType = 50;

class PaintBox : public ControlOf<gui::PaintBoxPeer>, public CanvasOwner {
 public:
  PaintBox(Machine& m, int type);

  const char* windowClass() const override { return "TPaintBox"; }
  bool holdsControls() const override { return false; }
  void event(gui::InputEvent& e) override;
  CanvasTarget canvasTarget() override;
  // The paint box's own picture, whatever device context it draws on.
  CanvasTarget ownCanvas();

  // Color is the brush each paint starts with; it follows the parent's
  // colour until the program sets it.
  void setColor(int32_t color) override;
  // Paints now: clears to the parent's colour and runs the paint handler
  // (when one is bound), then shows the picture.
  void repaint();
  bool painting() const { return painting_; }

  // The canvas's device-context number. Writing the number of another
  // canvas (a bitmap's, a paint box's) makes this canvas draw there; its
  // own number draws here again; any other number is ignored.
  int32_t deviceContext() const;
  void setDeviceContext(int32_t handle);

 protected:
  void resized() override;
  void appearanceChanged() override;

 private:
  uint32_t parentRgb() const;

  bool painting_ = false;
  int32_t redirect_ = 0;  // the device context drawn on instead (0: none)
};

void registerPaintBoxType(TypeRegistry& registry);

}  // namespace kestrel::objects
