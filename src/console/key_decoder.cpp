#include "console/key_decoder.h"

#include <algorithm>

#include "console/oem_glyphs.h"

namespace kestrel {

namespace {

constexpr size_t kLongestSequence = 32;

// Scan codes of the typing keys (US layout), by character; 0 when unknown.
int typingScan(int ch) {
  static const uint8_t kLetters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                       49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
  if (ch >= 'a' && ch <= 'z') return kLetters[ch - 'a'];
  if (ch >= 'A' && ch <= 'Z') return kLetters[ch - 'A'];
  if (ch >= '1' && ch <= '9') return ch - '1' + 2;
  if (ch == '0') return 11;
  if (ch == ' ') return 57;
  return 0;
}

KeyDecode key(size_t length, int ch, int scanCode, int state = 0) {
  return KeyDecode{KeyDecode::kKey, length, KeyEvent{ch, scanCode, state}};
}

KeyDecode other(size_t length) { return KeyDecode{KeyDecode::kOther, length, {}}; }

KeyDecode incomplete() { return KeyDecode{KeyDecode::kIncomplete, 0, {}}; }

// The state bits of an xterm modifier parameter (1 + shift 1, alt 2, ctrl 4, meta 8).
int modifierState(int parameter) {
  if (parameter < 2) return 0;
  const int bits = parameter - 1;
  int state = 0;
  if (bits & 1) state |= kKeyShift;
  if (bits & (2 | 8)) state |= kKeyLeftAlt;
  if (bits & 4) state |= kKeyLeftCtrl;
  return state;
}

// A single byte that is not the start of a sequence.
KeyDecode singleByte(uint8_t b) {
  switch (b) {
    case 0: return key(1, 0, 3, kKeyLeftCtrl);  // Ctrl+@
    case 8: return key(1, 8, scan::kBackspace, kKeyLeftCtrl);
    case 9: return key(1, 9, scan::kTab);
    case 10: return key(1, 10, scan::kEnter, kKeyLeftCtrl);
    case 13: return key(1, 13, scan::kEnter);
    case 27: return key(1, 27, scan::kEscape);
    case 127: return key(1, 8, scan::kBackspace);  // the Backspace key of most terminals
    default: break;
  }
  if (b < 32) return key(1, b, b <= 26 ? typingScan('a' + b - 1) : 0, kKeyLeftCtrl);
  return key(1, b, typingScan(b));
}

// The key of a final byte after ESC [ or ESC O with its first parameter.
KeyDecode sequenceKey(size_t length, char final, int first, int modifiers, bool ss3) {
  const int state = modifierState(modifiers);
  const int grey = state | kKeyEnhanced;
  switch (final) {
    case 'A': return key(length, 0, scan::kUp, grey);
    case 'B': return key(length, 0, scan::kDown, grey);
    case 'C': return key(length, 0, scan::kRight, grey);
    case 'D': return key(length, 0, scan::kLeft, grey);
    case 'H': return key(length, 0, scan::kHome, grey);
    case 'F': return key(length, 0, scan::kEnd, grey);
    case 'E': case 'G': return key(length, 0, scan::kCentre, state);
    case 'P': return key(length, 0, scan::kF1, state);
    case 'Q': return key(length, 0, scan::kF1 + 1, state);
    case 'R': return key(length, 0, scan::kF1 + 2, state);
    case 'S': return key(length, 0, scan::kF1 + 3, state);
    case 'Z': return ss3 ? other(length) : key(length, 9, scan::kTab, state | kKeyShift);
    case 'M': return ss3 ? key(length, 13, scan::kEnter, state | kKeyEnhanced) : other(length);
    // Shifted arrows of the rxvt family.
    case 'a': return key(length, 0, scan::kUp, kKeyShift | kKeyEnhanced);
    case 'b': return key(length, 0, scan::kDown, kKeyShift | kKeyEnhanced);
    case 'c': return key(length, 0, scan::kRight, kKeyShift | kKeyEnhanced);
    case 'd': return key(length, 0, scan::kLeft, kKeyShift | kKeyEnhanced);
    case '~': break;
    default: return other(length);
  }
  switch (first) {
    case 1: case 7: return key(length, 0, scan::kHome, grey);
    case 2: return key(length, 0, scan::kInsert, grey);
    case 3: return key(length, 0, scan::kDelete, grey);
    case 4: case 8: return key(length, 0, scan::kEnd, grey);
    case 5: return key(length, 0, scan::kPageUp, grey);
    case 6: return key(length, 0, scan::kPageDown, grey);
    case 11: case 12: case 13: case 14: case 15:  // F1 to F5
      return key(length, 0, scan::kF1 + first - 11, state);
    case 17: case 18: case 19: case 20: case 21:  // F6 to F10
      return key(length, 0, scan::kF1 + 5 + first - 17, state);
    case 23: return key(length, 0, scan::kF11, state);
    case 24: return key(length, 0, scan::kF12, state);
    default: return other(length);
  }
}

// ESC [ ... or ESC O ...: parameters (digits and ';'), then one final byte.
KeyDecode controlSequence(std::string_view bytes, bool final, bool ss3) {
  int parameters[2] = {0, 0};
  int count = 0;
  bool inNumber = false;
  for (size_t i = 2; i < bytes.size(); ++i) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (i >= kLongestSequence) return other(i);
    if (b >= '0' && b <= '9') {
      if (count < 2) parameters[count] = std::min(parameters[count] * 10 + (b - '0'), 1000);
      inNumber = true;
      continue;
    }
    if (b == ';') {
      ++count;
      inNumber = false;
      continue;
    }
    if ((b >= 0x20 && b <= 0x2F) || (b >= 0x3C && b <= 0x3F)) continue;  // intermediates, private marks
    if (b >= 0x40 && b <= 0x7E) {
      if (inNumber || count > 0) ++count;
      // ESC O 2 P and ESC [ 1 ; 2 P carry the modifiers in the last parameter.
      const int modifiers = ss3 ? parameters[0] : (count >= 2 ? parameters[1] : 0);
      return sequenceKey(i + 1, static_cast<char>(b), parameters[0], modifiers, ss3);
    }
    // Not a sequence after all: the Escape key, and the rest as typed.
    return key(1, 27, scan::kEscape);
  }
  if (!final) return incomplete();
  return key(1, 27, scan::kEscape);
}

}  // namespace

KeyDecode decodeKey(std::string_view bytes, bool final, bool utf8) {
  const auto b0 = static_cast<uint8_t>(bytes[0]);
  if (b0 == 27) {
    if (bytes.size() == 1) return final ? singleByte(27) : incomplete();
    const char b1 = bytes[1];
    if (b1 == '[' && bytes.size() >= 3 && bytes[2] == '[') {
      // The Linux console's F1 to F5: ESC [ [ A to E.
      if (bytes.size() == 3) return final ? singleByte(27) : incomplete();
      const char f = bytes[3];
      if (f >= 'A' && f <= 'E') return key(4, 0, scan::kF1 + (f - 'A'));
      return singleByte(27);
    }
    if (b1 == '[' || b1 == 'O') return controlSequence(bytes, final, b1 == 'O');
    return singleByte(27);  // Escape, then whatever follows as its own key
  }
  if (b0 >= 0x80 && utf8) {
    const Utf8Step step = decodeUtf8(bytes);
    if (step.kind == Utf8Step::kIncomplete && !final) return incomplete();
    if (step.kind == Utf8Step::kCharacter) {
      const uint8_t ch = oemByteOf(step.codePoint);
      return key(step.length, ch, typingScan(ch));
    }
  }
  return singleByte(b0);
}

int keyResult(const KeyEvent& key, int keyMode) {
  if (key.state == 0) return key.ch != 0 ? key.ch : -key.scan;
  if (key.state == kKeyEnhanced) return -key.scan;
  if (key.ch != 0) return key.ch;
  if (keyMode != 0) return -key.scan;
  switch (key.scan) {
    case 29: case 42: case 54: case 56: case 58: case 69: case 70: return 0;
    default: return -key.scan;
  }
}

std::string keyText(int result) {
  if (result > 0) return std::string(1, static_cast<char>(result));
  if (result < 0) return std::string{'\x1b', static_cast<char>(-result)};
  return {};
}

}  // namespace kestrel
