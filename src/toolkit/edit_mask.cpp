#include "toolkit/edit_mask.h"

#include <cctype>

namespace kestrel::gui {

namespace {

bool isLetter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalpha(u) != 0 || u >= 0xC0;  // the code page's accented letters too
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

char upper(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u != 0xF7 && u != 0xFF) return static_cast<char>(u - 32);
  return c;
}
char lower(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  return c;
}

bool isInputKind(char c) {
  switch (c) {
    case 'L': case 'l': case 'A': case 'a': case 'C': case 'c': case '0': case '9': case '#': return true;
    default: return false;
  }
}

}  // namespace

bool MaskPosition::accepts(char c) const {
  switch (kind) {
    case 'L': case 'l': return isLetter(c);
    case 'A': case 'a': return isLetter(c) || isDigit(c);
    case 'C': case 'c': return c != 0;
    case '0': case '9': return isDigit(c);
    case '#': return isDigit(c) || c == '+' || c == '-';
    default: return c == literal;
  }
}

char MaskPosition::convert(char c) const {
  switch (conversion) {
    case CaseConversion::Upper: return upper(c);
    case CaseConversion::Lower: return lower(c);
    default: return c;
  }
}

EditMask parseEditMask(std::string_view text) {
  EditMask mask;
  // The fields come from the end: ";1;_" after the positions.
  std::string_view positions = text;
  std::vector<std::string_view> fields;
  for (int i = 0; i < 2; ++i) {
    size_t cut = positions.rfind(';');
    // An escaped semicolon is a literal, not a field separator.
    if (cut == std::string_view::npos || (cut > 0 && positions[cut - 1] == '\\')) break;
    fields.insert(fields.begin(), positions.substr(cut + 1));
    positions = positions.substr(0, cut);
  }
  if (!fields.empty()) mask.saveLiterals = !(fields[0].size() == 1 && fields[0][0] == '0');
  if (fields.size() > 1 && !fields[1].empty()) mask.blank = fields[1][0];

  CaseConversion conversion = CaseConversion::AsTyped;
  for (size_t i = 0; i < positions.size(); ++i) {
    const char c = positions[i];
    MaskPosition p;
    if (c == '<' && i + 1 < positions.size() && positions[i + 1] == '>') {
      conversion = CaseConversion::AsTyped;
      ++i;
      continue;
    }
    if (c == '>') conversion = CaseConversion::Upper;
    else if (c == '<') conversion = CaseConversion::Lower;
    else if (c == '!') mask.leadingBlanks = true;
    if (c == '>' || c == '<' || c == '!') continue;
    if (c == '\\' && i + 1 < positions.size()) {
      p.literal = positions[++i];
    } else if (isInputKind(c)) {
      p.kind = c;
      p.conversion = conversion;
    } else {
      p.literal = c == '_' ? ' ' : c;
    }
    mask.positions.push_back(p);
  }
  return mask;
}

std::string fitEditText(const EditMask& mask, std::string_view text) {
  std::string out;
  for (size_t i = 0; i < mask.positions.size(); ++i) {
    const MaskPosition& p = mask.positions[i];
    if (p.kind == 0) {
      out += p.literal;
      continue;
    }
    const char c = i < text.size() ? p.convert(text[i]) : mask.blank;
    out += c != mask.blank && p.accepts(c) ? c : mask.blank;
  }
  return out;
}

namespace {

// Whether `text` has the mask's literals in their places.
bool literalsInPlace(const EditMask& mask, std::string_view text) {
  for (size_t i = 0; i < mask.positions.size() && i < text.size(); ++i)
    if (mask.positions[i].kind == 0 && text[i] != mask.positions[i].literal) return false;
  return true;
}

}  // namespace

// A text with the literals in place fills the positions one for one; any
// other text fills the input positions in order, a space leaving one
// blank and a character that fits none being passed over.
std::string editTextFromText(const EditMask& mask, std::string_view text) {
  if (mask.saveLiterals && literalsInPlace(mask, text)) return fitEditText(mask, text);
  std::string out;
  size_t next = 0;
  for (const MaskPosition& p : mask.positions) {
    if (p.kind == 0) {
      out += p.literal;
      continue;
    }
    char c = mask.blank;
    while (next < text.size()) {
      const char t = p.convert(text[next++]);
      if (t == ' ' || t == mask.blank) break;
      if (p.accepts(t)) {
        c = t;
        break;
      }
    }
    out += c;
  }
  return out;
}

std::string typedCharacters(const EditMask& mask, std::string_view editText) {
  std::string out;
  for (size_t i = 0; i < mask.positions.size() && i < editText.size(); ++i)
    if (mask.positions[i].kind != 0) out += editText[i] == mask.blank ? ' ' : editText[i];
  return out;
}

std::string textFromEditText(const EditMask& mask, std::string_view editText) {
  std::string out;
  for (size_t i = 0; i < mask.positions.size() && i < editText.size(); ++i) {
    const MaskPosition& p = mask.positions[i];
    if (p.kind == 0) {
      if (mask.saveLiterals) out += editText[i];
      continue;
    }
    out += editText[i] == mask.blank ? ' ' : editText[i];
  }
  if (mask.leadingBlanks) out.erase(0, out.find_first_not_of(' ') == std::string::npos ? out.size() : out.find_first_not_of(' '));
  else out.erase(out.find_last_not_of(' ') + 1);
  return out;
}

}  // namespace kestrel::gui
