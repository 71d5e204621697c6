#pragma once
// Edit masks of masked edits: what may be typed at each position, the
// literal characters between, whether a program's Text keeps the literals,
// and the character that shows an unfilled position. A mask is written
//
//   positions[;save literals[;blank]]      e.g. "(999) 000-0000;1;_"
//
// with the position characters L (a letter), A (a letter or digit), C (any
// character), 0 (a digit), lower case l, a, c and 9 for the optional forms,
// # (an optional digit or sign), > and < (upper or lower case from here),
// <> (case as typed), ! (Text drops leading instead of trailing blanks),
// \ (the next character is a literal), _ (a space); every other character
// is a literal. The save-literals field is 1 unless it is 0; the blank is
// '_' unless the third field names another.
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::gui {

enum class CaseConversion { AsTyped, Upper, Lower };

struct MaskPosition {
  char kind = 0;  // 0 for a literal, else the position character (L l A a C c 0 9 #)
  char literal = 0;
  CaseConversion conversion = CaseConversion::AsTyped;
  bool operator==(const MaskPosition&) const = default;
  bool required() const { return kind == 'L' || kind == 'A' || kind == 'C' || kind == '0'; }
  // Whether `c` may stand here (after the case conversion).
  bool accepts(char c) const;
  // `c` in this position's case.
  char convert(char c) const;
};

struct EditMask {
  std::vector<MaskPosition> positions;
  bool saveLiterals = true;
  char blank = '_';
  bool leadingBlanks = false;
  bool empty() const { return positions.empty(); }
  bool operator==(const EditMask&) const = default;
};

EditMask parseEditMask(std::string_view mask);

// The edit text (what the edit shows) that `text` gives when it is set
// position by position: literals stay, a character that does not fit its
// position leaves it blank.
std::string fitEditText(const EditMask& mask, std::string_view text);
// The edit text for a Text the program sets: a text with the literals in
// their places (when the mask saves them) as fitEditText; any other fills
// the input positions in order (a space leaves one blank, a character
// that fits no position is passed over).
std::string editTextFromText(const EditMask& mask, std::string_view text);
// The characters of the input positions, a blank as a space.
std::string typedCharacters(const EditMask& mask, std::string_view editText);
// A program's Text of an edit text: blanks become spaces, literals stay
// only when they are saved, and the blanks at the end (at the start, for
// a mask with !) are dropped.
std::string textFromEditText(const EditMask& mask, std::string_view editText);

}  // namespace kestrel::gui
