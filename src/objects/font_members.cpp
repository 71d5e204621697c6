// The font sub-members: the font object's members 0 to 13, and the same
// members on every control with a font at codes 200 to 213. Values are
// truncated, not rounded.
#include "objects/control_members.h"
#include "objects/gui_state.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

constexpr const char* kNames[] = {"Color", "Name", "Size", "AddStyles", "RemoveStyles", "ScreenFontCount",
                                  "ScreenFontName", "Handle", "Charset", "Pitch", "Bold", "Italic",
                                  "Underline", "StrikeOut"};
constexpr const char* kControlNames[] = {
    "FontColor", "FontName", "FontSize", "FontAddStyles", "FontRemoveStyles", "FontScreenFontCount",
    "FontScreenFontName", "FontHandle", "FontCharset", "FontPitch", "FontBold", "FontItalic",
    "FontUnderline", "FontStrikeOut"};

// Style numbers: 0 bold, 1 italic, 2 underline, 3 strike-out; others are ignored.
uint8_t styleBit(int32_t number) { return number >= 0 && number <= 3 ? static_cast<uint8_t>(1u << number) : 0; }

void setStyle(gui::FontDesc& font, uint8_t bit, bool on) {
  if (on) font.styles = static_cast<uint8_t>(font.styles | bit);
  else font.styles = static_cast<uint8_t>(font.styles & ~bit);
}

// A font handle names face, size, styles, character set and pitch; the
// colour is not part of it.
gui::FontDesc withoutColor(gui::FontDesc font) {
  font.color = 0;
  return font;
}

}  // namespace

const char* fontMemberName(int sub, bool onControl) { return onControl ? kControlNames[sub] : kNames[sub]; }

void writeFontMember(Machine& m, gui::FontDesc& font, int sub) {
  switch (sub) {
    case 0: font.color = truncOperand(m); break;
    case 1: font.name = stringOperand(m).str(); break;
    case 2: font.size = truncOperand(m); break;
    case 3: forEachArgument(m, [&] { setStyle(font, styleBit(truncOperand(m)), true); }); break;
    case 4: forEachArgument(m, [&] { setStyle(font, styleBit(truncOperand(m)), false); }); break;
    case 5: ignoredOperand(m); break;
    case 6:
      ignoredOperand(m);
      ignoredOperand(m);
      break;
    case 7: {
      const int32_t handle = truncOperand(m);
      if (const gui::FontDesc* named = fontOfHandle(m, handle)) {
        const int32_t color = font.color;
        font = *named;
        font.color = color;
      }
      break;
    }
    case 8: font.charset = truncOperand(m) & 0xFF; break;
    case 9: font.pitch = truncOperand(m); break;
    case 10: case 11: case 12: case 13:
      setStyle(font, static_cast<uint8_t>(1u << (sub - 10)), truncOperand(m) != 0);
      break;
    default: break;
  }
}

void readFontMember(Machine& m, gui::FontDesc& font, int sub, EvalStacks& s) {
  switch (sub) {
    case 0: s.pushNumber(font.color); break;
    case 1: s.pushString(font.name); break;
    case 2: s.pushNumber(font.size); break;
    case 5: s.pushNumber(static_cast<double>(toolkit().screenFonts().size())); break;
    case 6: {
      const int32_t n = truncOperand(m);
      const std::vector<std::string> fonts = toolkit().screenFonts();
      if (n < 0 || static_cast<size_t>(n) >= fonts.size()) raiseListIndex(n);
      s.pushString(fonts[static_cast<size_t>(n)]);
      break;
    }
    case 7: s.pushNumber(fontHandle(m, withoutColor(font))); break;
    case 8: s.pushNumber(font.charset & 0xFF); break;
    case 9: s.pushNumber(font.pitch); break;
    case 10: case 11: case 12: case 13: pushBool(s, (font.styles & (1u << (sub - 10))) != 0); break;
    default: s.pushNumber(0); break;
  }
}

}  // namespace kestrel::objects
