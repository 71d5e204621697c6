#pragma once
// Oval buttons (type 64): flat buttons drawn as an ellipse with a lit and
// a shaded edge. Only the ellipse takes the mouse: a press in a corner of
// the rectangle belongs to whatever lies under it.
#include "objects/controls/buttons.h"

namespace kestrel::objects {

inline constexpr int kOvalButtonType = 64;

class OvalButton : public FlatButton {
 public:
  OvalButton(Machine& m, int type);
  const char* windowClass() const override { return "TOvalButton"; }
  // Mouse events outside the ellipse are dropped.
  void event(gui::InputEvent& e) override;

  int32_t colorHighlight() const { return colorHighlight_; }
  void setColorHighlight(int32_t color);
  int32_t colorShadow() const { return colorShadow_; }
  void setColorShadow(int32_t color);
  uint8_t transparent() const { return transparent_; }
  void setTransparent(uint8_t flag);
  int32_t transparentColor() const { return transparentColor_; }
  // The glyph's colour that is left out.
  void setTransparentColor(int32_t color);
  void repaint() { showLook(); }
  // The glyph from a resource: an ignored byte, then the resource number.
  void glyphResourceAfterByte(Machine& m);

 private:
  int32_t colorHighlight_;
  int32_t colorShadow_;
  uint8_t transparent_ = 0;
  int32_t transparentColor_ = 0;
};

void registerOvalButtonType(TypeRegistry& registry);

}  // namespace kestrel::objects
