#include "toolkit/colors.h"

#include <array>

#include "toolkit/gui_types.h"
#include "toolkit/toolkit.h"

namespace kestrel::gui {

uint32_t classicSystemColor(int index) {
  // Scroll bar, desktop, captions, menu, window, frame, texts, borders,
  // workspace, highlight, button face and its shades, info, hot light,
  // caption gradients, menu highlight and bar.
  static constexpr std::array<uint32_t, 31> kPalette = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
      0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
      0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4};
  if (index < 0 || index >= static_cast<int>(kPalette.size())) return kBlack;
  return kPalette[static_cast<size_t>(index)];
}

uint32_t colorToRgb(int32_t color) {
  const auto value = static_cast<uint32_t>(color);
  if ((value & kSystemColorBit) != 0) return toolkit().systemColor(static_cast<int>(value & 0xFF));
  return value & 0x00FFFFFF;
}

}  // namespace kestrel::gui
