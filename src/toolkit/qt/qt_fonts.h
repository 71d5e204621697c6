#pragma once
// Fonts, colours and cursors of the programs as Qt sees them.
#include <QColor>
#include <QCursor>
#include <QFont>
#include <string>
#include <vector>

#include "toolkit/gui_types.h"

namespace kestrel::qt {

// The font at 96 dots per inch, drawn without anti-aliasing.
QFont makeFont(const gui::FontDesc& desc);
// The run-time's style bits (bold, italic, underline, strike-out) on a font
// and read back from one.
void applyStyles(QFont& font, uint8_t styles);
uint8_t stylesOf(const QFont& font);
std::vector<std::string> screenFontFamilies();
// A system colour from the application's palette.
uint32_t paletteColor(int index);
inline QColor qColor(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}
// The run-time's cursor shapes (0 default, -1 none, -2 arrow, ...).
Qt::CursorShape cursorShape(int shape);

}  // namespace kestrel::qt
