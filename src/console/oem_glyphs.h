#pragma once
// The console's character set. Programs write single bytes that the console
// shows as the PC's original glyphs (box drawing, accented letters, the
// control-byte symbols). A terminal that takes UTF-8 gets those glyphs; keys
// typed as UTF-8 come back as the matching byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// Appends the UTF-8 form of the glyph of `byte` (byte 0 shows as a space).
void appendOemGlyph(std::string& out, uint8_t byte);

// The byte whose glyph is `codePoint`; '?' when the set has none.
uint8_t oemByteOf(char32_t codePoint);

// One step of UTF-8 decoding at the start of `bytes` (not empty).
struct Utf8Step {
  enum Kind { kCharacter, kIncomplete, kInvalid } kind;
  size_t length;  // bytes of the character (kCharacter) or 1 (kInvalid)
  char32_t codePoint;
};
Utf8Step decodeUtf8(std::string_view bytes);

// A line typed on a UTF-8 terminal, in the console's bytes.
std::string utf8ToOem(std::string_view text);

}  // namespace kestrel
