#pragma once
// Rich edits: multi-line text with character formats and paragraph
// alignments. Positions count the characters of the text that joins the
// paragraphs with CR LF (a paragraph break counts two), so that they agree
// with text(). Every change of the text raises Change.
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/peers/edit.h"
#include "toolkit/rich_text.h"

namespace kestrel::gui {

class RichEditPeer : public WindowPeer {
 public:
  explicit RichEditPeer(WindowOwner* owner);
  ~RichEditPeer() override;

  // Paragraphs joined with CR LF.
  std::string text() const override;
  // Replaces everything with plain text in the control's font (setFont).
  void setText(std::string_view text) override;
  // The control's font: what plain text and text typed where there is no
  // other format take.
  void setFont(const FontDesc& font, uint32_t rgb) override;

  virtual RichText document() const { return doc_; }
  // The length of text() (without building it).
  int32_t textLength() const { return doc_.length(); }
  virtual void setDocument(const RichText& document);
  virtual int32_t paragraphCount() const;
  virtual std::string paragraph(int32_t index) const;
  virtual int32_t paragraphStart(int32_t index) const { return doc_.paragraphStart(index); }
  virtual int32_t paragraphAt(int32_t position) const { return doc_.paragraphAt(position); }

  virtual TextSelection selection() const { return selection_; }
  // Clamped to the text; a start inside a paragraph break goes to its end.
  virtual void setSelection(TextSelection selection);
  virtual std::string selectedText() const;
  // The selection's text becomes `text`, in the format of the selection's
  // start; the caret goes after it.
  virtual void replaceSelection(std::string_view text);
  // The format of the selection's first character (with no selection, the
  // one that typing would give).
  virtual FontDesc selectionFormat() const;
  // With no selection, the format that typing gives next.
  virtual void changeSelectionFormat(const FormatChange& change);
  // The alignment of the selection's first paragraph; setting it sets
  // every paragraph of the selection.
  virtual int selectionAlignment() const;
  virtual void setSelectionAlignment(int alignment);

  // Set by the user's changes; a whole new text or document clears it.
  virtual bool modified() const { return modified_; }
  virtual void setModified(bool modified) { modified_ = modified; }
  virtual void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
  virtual void setWordWrap(bool wrap) { wordWrap_ = wrap; }
  // 0 none, 1 horizontal, 2 vertical, 3 both; hidden while not needed when
  // `hideWhenUnneeded`.
  virtual void setScrollBars(int bars, bool hideWhenUnneeded) { scrollBars_ = bars, hideScrollBars_ = hideWhenUnneeded; }
  // The selection shows only while the control has the keyboard focus.
  virtual void setHideSelection(bool hide) { hideSelection_ = hide; }
  // The Tab key types a tab instead of moving the focus on.
  virtual void setWantTabs(bool want) { wantTabs_ = want; }
  virtual void setBorder(bool border) { border_ = border; }
  virtual void cut();
  virtual void copy();
  virtual void paste();

 protected:
  // Shows the text and the selection anew, then raises Change.
  void changed();
  // A toolkit's control shows what the peer now holds: the document, the
  // selection and the format typing gives.
  virtual void updateView() {}
  const FontDesc& defaultFormat() const { return font_; }

  RichText doc_;
  TextSelection selection_;
  FontDesc typingFormat_;
  bool typingFormatSet_ = false;
  bool modified_ = false;
  bool readOnly_ = false;
  bool wordWrap_ = true;
  int scrollBars_ = 0;
  bool hideScrollBars_ = true;
  bool hideSelection_ = true;
  bool wantTabs_ = false;
  bool border_ = true;
};

}  // namespace kestrel::gui
