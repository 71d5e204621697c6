#include "objects/controls/rich_edit.h"

#include "objects/controls/rich_text_format.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kDefaultWidth = 185;
constexpr int32_t kDefaultHeight = 89;
}  // namespace

RichEdit::RichEdit(Machine& m, int type) : ControlOf(m, type) {
  color_ = gui::kColorWindow;
  showColor();
  setBounds(gui::Rect::fromSize(0, 0, kDefaultWidth, kDefaultHeight));
}

void RichEdit::setReadOnly(uint8_t flag) {
  readOnly_ = flag;
  peer().setReadOnly(flag != 0);
}

void RichEdit::setScrollBars(int32_t bars) {
  scrollBars_ = bars;
  showScrollBars();
}

void RichEdit::setHideScrollBars(uint8_t flag) {
  hideScrollBars_ = flag;
  showScrollBars();
}

void RichEdit::showScrollBars() { peer().setScrollBars(scrollBars_ & 3, hideScrollBars_ != 0); }

void RichEdit::setWordWrap(uint8_t flag) {
  wordWrap_ = flag;
  peer().setWordWrap(flag != 0);
}

void RichEdit::setHideSelection(uint8_t flag) {
  hideSelection_ = flag;
  peer().setHideSelection(flag != 0);
}

void RichEdit::setWantTabs(uint8_t flag) {
  wantTabs_ = flag;
  peer().setWantTabs(flag != 0);
}

void RichEdit::setBorderStyle(int32_t style) {
  borderStyle_ = style;
  peer().setBorder(style != 0);
}

void RichEdit::setAlignment(int32_t alignment) {
  peer().setSelectionAlignment(alignment >= 0 && alignment <= 2 ? alignment : gui::kAlignLeftText);
}

void RichEdit::setLine(int32_t index, const Str& text) {
  if (index < 0 || index >= lineCount()) raiseListIndex(index);
  const int32_t start = peer().paragraphStart(index);
  peer().setSelection({start, static_cast<int32_t>(peer().paragraph(index).size())});
  peer().replaceSelection(text.view());
}

void RichEdit::addLine(const Str& text) {
  peer().setSelection({peer().textLength(), 0});
  peer().replaceSelection(lineCount() == 0 ? text.str() : "\r\n" + text.str());
}

void RichEdit::load(std::string_view bytes) {
  if (plainText == 0 && isRichTextFormat(bytes)) peer().setDocument(readRichText(bytes, font_));
  else peer().setDocument(readPlainText(bytes, font_));
}

std::string RichEdit::save() const {
  const gui::RichText document = peer().document();
  return plainText != 0 ? writePlainText(document) : writeRichText(document);
}

}  // namespace kestrel::objects
