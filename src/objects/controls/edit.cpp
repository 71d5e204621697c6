#include "objects/controls/edit.h"

#include <algorithm>

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 121;
// An auto-sized edit is as high as its font's text and the frame around it.
constexpr int32_t kFrameHeight = 10;

gui::CaseConversion conversionOf(int32_t charCase) {
  switch (charCase) {
    case 1: return gui::CaseConversion::Upper;
    case 2: return gui::CaseConversion::Lower;
    default: return gui::CaseConversion::AsTyped;
  }
}
}  // namespace

Edit::Edit(Machine& m, int type) : ControlOf(m, type) {
  color_ = gui::kColorWindow;
  showColor();
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, font_.pixelHeight() + kFrameHeight));
}

std::string Edit::withCase(std::string text) const {
  if (charCase_ == 0) return text;
  gui::MaskPosition converter;
  converter.conversion = conversionOf(charCase_);
  for (char& c : text) c = converter.convert(c);
  return text;
}

Str Edit::caption() const {
  if (!isMasked()) return Str(peer().text());
  return Str(gui::textFromEditText(mask_, peer().text()));
}

void Edit::setCaption(const Str& text) {
  const std::string typed = withCase(text.str());
  peer().setText(isMasked() ? gui::editTextFromText(mask_, typed) : typed);
}

void Edit::setEditText(const Str& text) {
  const std::string typed = withCase(text.str());
  const std::string fitted = isMasked() ? gui::fitEditText(mask_, typed) : typed;
  if (fitted != peer().text()) peer().setText(fitted);
}

void Edit::setEditMask(const Str& mask) {
  maskText_ = mask;
  gui::EditMask parsed = gui::parseEditMask(mask.view());
  if (parsed == mask_) return;
  // What was typed moves to the new mask's positions.
  const std::string text = caption().str();
  const std::string typed = isMasked() ? gui::typedCharacters(mask_, peer().text()) : text;
  mask_ = std::move(parsed);
  peer().setMask(mask_);
  peer().setText(isMasked() ? gui::editTextFromText(mask_, typed) : text);
}

void Edit::setMaxLength(int32_t length) {
  maxLength_ = length;
  peer().setMaxLength(std::max(length, 0));
}

void Edit::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  peer().setBorder(style != 0);
}

void Edit::setSelStart(int32_t start) { peer().setSelection({start, 0}); }

void Edit::setSelLength(int32_t length) { peer().setSelection({selStart(), length}); }

Str Edit::selText() const {
  const std::string text = peer().text();
  const gui::TextSelection s = peer().selection();
  if (s.start >= static_cast<int32_t>(text.size())) return Str();
  return Str(text.substr(static_cast<size_t>(s.start), static_cast<size_t>(s.length)));
}

void Edit::setSelText(const Str& text) {
  std::string shown = peer().text();
  const gui::TextSelection s = peer().selection();
  const std::string typed = withCase(text.str());
  const auto start = static_cast<size_t>(std::min<int32_t>(s.start, static_cast<int32_t>(shown.size())));
  const auto length = std::min(static_cast<size_t>(s.length), shown.size() - start);
  size_t caret = start + typed.size();
  if (isMasked()) {
    // The selected positions are emptied, then typed over.
    for (size_t i = start; i < start + length; ++i) shown[i] = mask_.blank;
    for (size_t i = 0; i < typed.size() && start + i < shown.size(); ++i) shown[start + i] = typed[i];
    shown = gui::fitEditText(mask_, shown);
    caret = std::min(caret, shown.size());
  } else {
    shown.replace(start, length, typed);
  }
  peer().setText(shown);
  peer().setSelection({static_cast<int32_t>(caret), 0});
}

void Edit::setAutoSize(uint8_t flag) {
  autoSize_ = flag;
  appearanceChanged();
}

void Edit::setReadOnly(uint8_t flag) {
  readOnly_ = flag;
  peer().setReadOnly(flag != 0);
}

void Edit::setCharCase(int32_t charCase) {
  charCase_ = charCase;
  peer().setCharCase(conversionOf(charCase));
  if (charCase != 0 && !isMasked()) {
    const std::string text = peer().text();
    const std::string converted = withCase(text);
    if (converted != text) peer().setText(converted);
  }
}

void Edit::setPasswordChar(const Str& text) {
  passwordChar_ = text.empty() ? 0 : text.view()[0];
  peer().setPasswordChar(passwordChar_);
}

// With AutoSize the height follows the font.
void Edit::appearanceChanged() {
  if (autoSize_ == 0) return;
  const int32_t height = font_.pixelHeight() + kFrameHeight;
  if (height != bounds().height()) setHeight(height);
}

}  // namespace kestrel::objects
