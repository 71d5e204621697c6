#pragma once
// Keys from a terminal. A terminal sends bytes: characters, control bytes
// and escape sequences for the keys that have no character. The decoder
// turns them into the key events a PC keyboard gives (character, scan code
// and the state of the control keys), and `keyResult` applies the console's
// rule for what a key read returns.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// Control-key state bits of a key event.
inline constexpr int kKeyRightAlt = 0x01;
inline constexpr int kKeyLeftAlt = 0x02;
inline constexpr int kKeyRightCtrl = 0x04;
inline constexpr int kKeyLeftCtrl = 0x08;
inline constexpr int kKeyShift = 0x10;
inline constexpr int kKeyEnhanced = 0x100;  // the grey keys beside the typing keys

// PC keyboard scan codes the decoder uses.
namespace scan {
inline constexpr int kEscape = 1, kBackspace = 14, kTab = 15, kEnter = 28;
inline constexpr int kF1 = 59, kF10 = 68, kF11 = 87, kF12 = 88;
inline constexpr int kHome = 71, kUp = 72, kPageUp = 73, kLeft = 75, kCentre = 76, kRight = 77;
inline constexpr int kEnd = 79, kDown = 80, kPageDown = 81, kInsert = 82, kDelete = 83;
}  // namespace scan

struct KeyEvent {
  int ch = 0;    // the character, 0 when the key has none
  int scan = 0;  // the scan code
  int state = 0; // control-key state bits
  bool operator==(const KeyEvent&) const = default;
};

struct KeyDecode {
  enum Kind {
    kKey,         // `key` is a key; `length` bytes make it
    kOther,       // `length` bytes that are no key (an unknown sequence)
    kIncomplete,  // the bytes may be the start of a longer sequence
  } kind;
  size_t length = 0;
  KeyEvent key;
};

// Decodes the first key in `bytes` (not empty). `final`: no more bytes are
// coming soon, so a lone Escape is the Escape key. `utf8`: the terminal
// sends UTF-8, which becomes the console's bytes.
KeyDecode decodeKey(std::string_view bytes, bool final, bool utf8);

// What reading the key returns: the character code; or the negated scan code
// for a key without a character (always for a grey key alone); 0 for the
// shift, control, alternate and lock keys unless `keyMode` is set.
int keyResult(const KeyEvent& key, int keyMode);

// The text of a key read: the empty string for 0, one character for a
// character, code 27 and the scan code for a negated scan code.
std::string keyText(int result);

}  // namespace kestrel
