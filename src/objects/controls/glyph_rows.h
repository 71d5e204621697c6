#pragma once
// Rows that every button with a glyph has (bitmap, flat and oval
// buttons), at each family's codes.
#include "objects/control_members.h"
#include "objects/controls/buttons.h"

namespace kestrel::objects {

template <class T>
void addGlyphRows(std::vector<Member<T>>& rows, int spacing, int layout, int numGlyphs, int glyph, int resource) {
  using G = GlyphButton;
  addRow<T>(rows, spacing, property<&G::spacing, &G::setSpacing>(0, "Spacing", "pixels between glyph and caption"));
  addRow<T>(rows, layout,
            property<&G::layout, &G::setLayout>(0, "Layout", "glyph 0 left of the caption, 1 right, 2 above, 3 below"));
  addRow<T>(rows, numGlyphs,
            property<&G::numGlyphs, &G::setNumGlyphs>(
                0, "NumGlyphs", "pictures side by side in the glyph (1 to 4): up, disabled, pressed, down"));
  addRow<T>(rows, glyph,
            {0, "Glyph", "E", [](Machine& m, T& b) { b.writeGlyph(m); },
             "", [](Machine& m, T& b, EvalStacks& s) { b.readGlyph(m, s); },
             "a file name, or a graphic read (e.g. bitmap:0.Picture); a read gives 0 and puts the glyph in the "
             "graphic register"});
  addRow<T>(rows, resource,
            {0, "GlyphResource", "B", [](Machine& m, T& b) { b.glyphResource(m); }, nullptr, nullptr,
             "resource number: loads the glyph from that resource"});
}

}  // namespace kestrel::objects
