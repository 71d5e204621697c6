#pragma once
// Glass frames (type 76): a translucent rectangle laid over a container.
// Declaring one makes only its entry; the create member (23) makes the
// frame inside a container, and every other member of a frame not yet
// created raises "Glass frame N not created". Creating again moves the
// same entry to the new container, whatever order the entries come in.
#include "objects/control.h"
#include "toolkit/peers/boxes.h"

namespace kestrel::objects {

inline constexpr int kGlassFrameType = 76;

class GlassFrame : public ControlOf<gui::GlassFramePeer> {
 public:
  GlassFrame(Machine& m, int type);
  const char* windowClass() const override { return "TGlassy"; }
  bool holdsControls() const override { return false; }

  bool created() const { return created_; }
  // Raises "Glass frame N not created" until create() ran.
  void requireCreated() const;
  void create(Control& container);

  void setColor(int32_t color) override;
  int32_t transparency() const { return transparency_; }
  // The tint's opacity, 0 (clear) to 255 (solid); other values are clamped.
  void setTransparency(int32_t alpha);
  int32_t transpColor() const { return transpColor_; }
  void setTranspColor(int32_t color) { transpColor_ = color; }
  uint8_t moveable() const { return moveable_; }
  void setMoveable(uint8_t flag) { moveable_ = flag; }
  intptr_t canvasHandle();
  // Writing the handle accepts only the frame's own canvas.
  void setCanvasHandle(int32_t handle);

 private:
  void showTint();

  bool created_ = false;
  int32_t transparency_ = 128;
  int32_t transpColor_ = 0;
  uint8_t moveable_ = 0;
};

void registerGlassFrameType(TypeRegistry& registry);

}  // namespace kestrel::objects
