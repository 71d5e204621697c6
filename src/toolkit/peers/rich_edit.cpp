#include "toolkit/peers/rich_edit.h"

#include <algorithm>

#include "toolkit/toolkit.h"

namespace kestrel::gui {

RichEditPeer::RichEditPeer(WindowOwner* owner) : WindowPeer(owner) {}

RichEditPeer::~RichEditPeer() = default;

std::string RichEditPeer::text() const { return doc_.text(); }

void RichEditPeer::setText(std::string_view text) {
  RichText plain;
  plain.insert(0, text, font_);
  setDocument(plain);
}

void RichEditPeer::setFont(const FontDesc& font, uint32_t rgb) { WindowPeer::setFont(font, rgb); }

void RichEditPeer::setDocument(const RichText& document) {
  doc_ = document;
  selection_ = {};
  typingFormatSet_ = false;
  modified_ = false;
  changed();
}

int32_t RichEditPeer::paragraphCount() const {
  return doc_.empty() ? 0 : static_cast<int32_t>(doc_.paragraphs().size());
}

std::string RichEditPeer::paragraph(int32_t index) const {
  if (index < 0 || index >= paragraphCount()) return {};
  return doc_.paragraphs()[static_cast<size_t>(index)].text();
}

void RichEditPeer::setSelection(TextSelection selection) {
  const int32_t length = doc_.length();
  int32_t start = std::clamp(selection.start, 0, length);
  // Not between the CR and the LF of a break.
  const int32_t p = doc_.paragraphAt(start);
  start = std::min(start, doc_.paragraphStart(p) + doc_.paragraphs()[static_cast<size_t>(p)].length());
  selection_ = {start, std::clamp(selection.length, 0, length - start)};
  typingFormatSet_ = false;
  updateView();
}

std::string RichEditPeer::selectedText() const {
  return doc_.textBetween(selection_.start, selection_.start + selection_.length);
}

void RichEditPeer::replaceSelection(std::string_view text) {
  const FontDesc format = selectionFormat();
  const int32_t start = selection_.start;
  const int32_t rest = doc_.length() - selection_.length;
  doc_.erase(start, start + selection_.length);
  doc_.insert(start, text, format);
  // The caret after the new text (whose line breaks are CR LF now).
  selection_ = {start + doc_.length() - rest, 0};
  typingFormatSet_ = false;
  changed();
}

FontDesc RichEditPeer::selectionFormat() const {
  if (selection_.length == 0 && typingFormatSet_) return typingFormat_;
  if (selection_.length > 0) return doc_.formatAt(selection_.start, font_);
  // Typing goes on in the format of the character before the caret.
  return doc_.formatAt(std::max(selection_.start - 1, 0), font_);
}

void RichEditPeer::changeSelectionFormat(const FormatChange& change) {
  if (selection_.length == 0) {
    typingFormat_ = selectionFormat();
    change.applyTo(typingFormat_);
    typingFormatSet_ = true;
    updateView();
    return;
  }
  doc_.changeFormat(selection_.start, selection_.start + selection_.length, change);
  changed();
}

int RichEditPeer::selectionAlignment() const {
  return doc_.paragraphs()[static_cast<size_t>(doc_.paragraphAt(selection_.start))].alignment;
}

void RichEditPeer::setSelectionAlignment(int alignment) {
  doc_.setAlignment(doc_.paragraphAt(selection_.start), doc_.paragraphAt(selection_.start + selection_.length),
                    alignment);
  updateView();
}

void RichEditPeer::cut() {
  if (selection_.length == 0 || readOnly_) return;
  copy();
  replaceSelection({});
}

void RichEditPeer::copy() {
  if (selection_.length > 0) toolkit().setClipboardText(selectedText());
}

void RichEditPeer::paste() {
  if (!readOnly_ && toolkit().clipboardHasText()) replaceSelection(toolkit().clipboardText());
}

void RichEditPeer::changed() {
  updateView();
  if (owner_ == nullptr) return;
  InputEvent e{EventKind::Change};
  owner_->event(e);
}

}  // namespace kestrel::gui
