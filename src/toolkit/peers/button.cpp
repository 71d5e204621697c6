#include "toolkit/peers/button.h"

namespace kestrel::gui {

ButtonPeer::ButtonPeer(WindowOwner* owner) : WindowPeer(owner) {}

ButtonPeer::~ButtonPeer() = default;

void ButtonPeer::setGlyph(const Surface* glyph, int32_t transparentColor) {
  glyph_ = glyph != nullptr && !glyph->empty() ? glyph->clone() : nullptr;
  transparentColor_ = transparentColor;
}

}  // namespace kestrel::gui
