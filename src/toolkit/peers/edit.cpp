#include "toolkit/peers/edit.h"

#include <algorithm>

namespace kestrel::gui {

EditPeer::EditPeer(WindowOwner* owner) : WindowPeer(owner) {}

EditPeer::~EditPeer() = default;

void EditPeer::setText(std::string_view text) {
  const bool differs = text != text_;
  WindowPeer::setText(text);
  selection_ = {};
  modified_ = false;
  if (differs) changed();
}

void EditPeer::setSelection(TextSelection selection) {
  const auto size = static_cast<int32_t>(text_.size());
  selection_.start = std::clamp(selection.start, 0, size);
  selection_.length = std::clamp(selection.length, 0, size - selection_.start);
}

void EditPeer::changed() {
  if (owner_ == nullptr) return;
  InputEvent e{EventKind::Change};
  owner_->event(e);
}

}  // namespace kestrel::gui
