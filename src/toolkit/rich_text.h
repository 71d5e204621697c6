#pragma once
// Rich text as the run-time keeps it: paragraphs (the lines of a rich
// edit), each a row of runs of characters in one format, and an
// alignment. A position counts the characters of the text that joins the
// paragraphs with CR LF, so a paragraph break counts two.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/gui_types.h"

namespace kestrel::gui {

struct RichRun {
  std::string text;
  FontDesc format;
  bool operator==(const RichRun&) const = default;
};

struct RichParagraph {
  int alignment = kAlignLeftText;  // 0 left, 1 right, 2 centre
  std::vector<RichRun> runs;
  std::string text() const;
  int32_t length() const;
  bool operator==(const RichParagraph&) const = default;
};

// A change of character format: the attributes given are set, then the
// styles added and removed.
struct FormatChange {
  std::optional<std::string> name;
  std::optional<int32_t> size;
  std::optional<int32_t> color;
  std::optional<int32_t> charset;
  std::optional<int32_t> pitch;
  uint8_t addStyles = 0;
  uint8_t removeStyles = 0;
  void applyTo(FontDesc& format) const;
  // Every attribute of `font`, styles exactly as it has them.
  static FormatChange allOf(const FontDesc& font);
};

class RichText {
 public:
  RichText() : paragraphs_(1) {}
  explicit RichText(std::vector<RichParagraph> paragraphs);

  const std::vector<RichParagraph>& paragraphs() const { return paragraphs_; }
  // Paragraphs joined with CR LF.
  std::string text() const;
  int32_t length() const;
  bool empty() const { return paragraphs_.size() == 1 && paragraphs_[0].runs.empty(); }

  // The paragraph that holds a position (clamped to the text), and where
  // a paragraph starts.
  int32_t paragraphAt(int32_t position) const;
  int32_t paragraphStart(int32_t paragraph) const;

  // Text in `format`; CR LF, LF and CR each start a new paragraph, which
  // takes the alignment of the one it splits.
  void insert(int32_t position, std::string_view text, const FontDesc& format);
  void erase(int32_t from, int32_t to);
  std::string textBetween(int32_t from, int32_t to) const;
  // The format of the character at a position (of the one before it at
  // the end of a paragraph); `fallback` in an empty paragraph.
  FontDesc formatAt(int32_t position, const FontDesc& fallback) const;
  void changeFormat(int32_t from, int32_t to, const FormatChange& change);
  void setAlignment(int32_t fromParagraph, int32_t toParagraph, int alignment);

  bool operator==(const RichText&) const = default;

 private:
  struct Place {
    size_t paragraph = 0;
    int32_t offset = 0;  // within the paragraph's text
  };
  Place placeOf(int32_t position) const;
  // Splits the run at `offset` of paragraph `p` so that a run starts there;
  // returns that run's index.
  size_t splitAt(size_t p, int32_t offset);
  void tidy(RichParagraph& p);

  std::vector<RichParagraph> paragraphs_;
};

}  // namespace kestrel::gui
