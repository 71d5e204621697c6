#pragma once
// Rich edits (type 48): multi-line text in character formats, whose lines
// are its paragraphs. Text joins the lines with CR LF, and selection
// positions count each CR LF as two characters, so they agree with Text.
// Files and streams load and save as rich text (a reader and writer of
// the run-time's own, rich_text_format.h) or, with PlainText, as lines.
#include <string>

#include "objects/control.h"
#include "toolkit/peers/rich_edit.h"

namespace kestrel::objects {

inline constexpr int kRichEditType = 48;

class RichEdit : public ControlOf<gui::RichEditPeer> {
 public:
  RichEdit(Machine& m, int type);

  const char* windowClass() const override { return "TRichEdit"; }

  uint8_t modified() const { return peer().modified() ? 1 : 0; }
  void setModified(uint8_t flag) { peer().setModified(flag != 0); }
  uint8_t readOnly() const { return readOnly_; }
  void setReadOnly(uint8_t flag);
  int32_t scrollBars() const { return scrollBars_; }
  void setScrollBars(int32_t bars);
  uint8_t hideScrollBars() const { return hideScrollBars_; }
  void setHideScrollBars(uint8_t flag);
  uint8_t wordWrap() const { return wordWrap_; }
  void setWordWrap(uint8_t flag);
  uint8_t hideSelection() const { return hideSelection_; }
  void setHideSelection(uint8_t flag);
  uint8_t wantTabs() const { return wantTabs_; }
  void setWantTabs(uint8_t flag);
  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  // The alignment of the caret's paragraph; setting it aligns the
  // paragraphs of the selection (0 left, 1 right, 2 centre).
  int32_t alignment() const { return peer().selectionAlignment(); }
  void setAlignment(int32_t alignment);
  uint8_t plainText = 0;

  int32_t selStart() const { return peer().selection().start; }
  void setSelStart(int32_t start) { peer().setSelection({start, 0}); }
  int32_t selLength() const { return peer().selection().length; }
  void setSelLength(int32_t length) { peer().setSelection({selStart(), length}); }
  Str selText() const { return Str(peer().selectedText()); }
  void setSelText(const Str& text) { peer().replaceSelection(text.view()); }
  void selectAll() { peer().setSelection({0, peer().textLength()}); }
  void clear() { peer().setText({}); }
  void cut() { peer().cut(); }
  void copy() { peer().copy(); }
  void paste() { peer().paste(); }

  // Lines: an empty text has none.
  int32_t lineCount() const { return peer().paragraphCount(); }
  // "" outside the lines.
  Str line(int32_t index) const { return Str(peer().paragraph(index)); }
  // "List index out of bounds (N)" outside the lines.
  void setLine(int32_t index, const Str& text);
  // Appends a line (the first of an empty text).
  void addLine(const Str& text);
  int32_t caretLine() const { return peer().paragraphAt(selStart()); }
  int32_t caretColumn() const { return selStart() - peer().paragraphStart(caretLine()); }

  // The format of the selection (with none, what typing gives next).
  gui::FontDesc selectionFormat() const { return peer().selectionFormat(); }
  void changeSelection(const gui::FormatChange& change) { peer().changeSelectionFormat(change); }

  // A file's or stream's bytes: rich text unless PlainText is set or they
  // do not start with "{\rtf".
  void load(std::string_view bytes);
  std::string save() const;

 private:
  void showScrollBars();

  uint8_t readOnly_ = 0;
  int32_t scrollBars_ = 0;
  uint8_t hideScrollBars_ = 1;
  uint8_t wordWrap_ = 1;
  uint8_t hideSelection_ = 1;
  uint8_t wantTabs_ = 0;
  int32_t borderStyle_ = 1;
};

void registerRichEditType(TypeRegistry& registry);

}  // namespace kestrel::objects
