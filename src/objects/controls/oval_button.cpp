#include "objects/controls/oval_button.h"

#include "toolkit/colors.h"
#include "toolkit/peers/boxes.h"

namespace kestrel::objects {

OvalButton::OvalButton(Machine& m, int type)
    : FlatButton(m, type), colorHighlight_(gui::kColorButtonHighlight), colorShadow_(gui::kColorButtonShadow) {
  look_.oval = true;
  look_.highlight = gui::colorToRgb(colorHighlight_);
  look_.shadow = gui::colorToRgb(colorShadow_);
  showLook();
}

void OvalButton::event(gui::InputEvent& e) {
  switch (e.kind) {
    case gui::EventKind::MouseDown:
    case gui::EventKind::MouseUp:
    case gui::EventKind::MouseMove: {
      const gui::Size size = clientSize();
      if (!gui::insideEllipse(size.width, size.height, e.x, e.y)) return;
      break;
    }
    default: break;
  }
  FlatButton::event(e);
}

void OvalButton::setColorHighlight(int32_t color) {
  colorHighlight_ = color;
  look_.highlight = gui::colorToRgb(color);
  showLook();
}

void OvalButton::setColorShadow(int32_t color) {
  colorShadow_ = color;
  look_.shadow = gui::colorToRgb(color);
  showLook();
}

void OvalButton::setTransparent(uint8_t flag) {
  transparent_ = flag;
  look_.transparent = flag != 0;
  showLook();
}

void OvalButton::setTransparentColor(int32_t color) {
  transparentColor_ = color;
  if (glyph_) peer().setGlyph(glyph_.get(), color);
}

void OvalButton::glyphResourceAfterByte(Machine& m) {
  skipByte(m);
  glyphResource(m);
}

}  // namespace kestrel::objects
