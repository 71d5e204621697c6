// The member tables of bitmap buttons (32) and flat buttons (51).
#include "core/machine.h"
#include "objects/buttons.h"
#include "objects/control_members.h"

namespace kestrel::objects {

namespace {

constexpr int32_t kFlatCanvasBase = 0x00D40000;

template <int Slot>
void bindBitmap(Machine& m, BitmapButton& b) {
  b.eventSlots[Slot] = handlerOperand(m);
}

template <int Slot>
void bindFlat(Machine& m, FlatButton& b) {
  b.eventSlots[Slot] = handlerOperand(m);
}

// Rows both tables have, at each family's codes.
template <class T>
void addGlyphRows(std::vector<Member<T>>& rows, int spacing, int layout, int numGlyphs, int glyph, int resource) {
  using detail::addRow;
  addRow<T>(rows, spacing, {0, "Spacing", "E", [](Machine& m, T& b) { b.setSpacing(numberOperand(m)); },
                            "", [](Machine&, T& b, EvalStacks& s) { s.pushNumber(b.look().spacing); }});
  addRow<T>(rows, layout, {0, "Layout", "E", [](Machine& m, T& b) { b.setLayout(numberOperand(m)); },
                           "", [](Machine&, T& b, EvalStacks& s) { s.pushNumber(b.look().layout); }});
  addRow<T>(rows, numGlyphs, {0, "NumGlyphs", "E", [](Machine& m, T& b) { b.setNumGlyphs(numberOperand(m)); },
                              "", [](Machine&, T& b, EvalStacks& s) { s.pushNumber(b.look().numGlyphs & 0x7F); }});
  addRow<T>(rows, glyph, {0, "Glyph", "E", [](Machine& m, T& b) { b.writeGlyph(m); },
                          "", [](Machine& m, T& b, EvalStacks& s) { b.readGlyph(m, s); }});
  addRow<T>(rows, resource, {0, "GlyphResource", "B", [](Machine& m, T& b) { b.glyphResource(m); }, nullptr, nullptr});
}

std::vector<Member<BitmapButton>> bitmapButtonRows() {
  using B = BitmapButton;
  std::vector<Member<B>> rows = {
      {3, "OnClick", "H", bindBitmap<B::kSlotClick>, nullptr, nullptr},
      {8, "OnStartDrag", "H", bindBitmap<B::kSlotStartDrag>, nullptr, nullptr},
      {9, "OnEndDrag", "H", bindBitmap<B::kSlotEndDrag>, nullptr, nullptr},
      {10, "OnMouseDown", "H", bindBitmap<B::kSlotMouseDown>, nullptr, nullptr},
      {11, "DragMove", "b", [](Machine& m, B& b) {
         skipByte(m);
         b.dragMove();
       }, nullptr, nullptr},
      {14, "ModalResult", "E", [](Machine& m, B& b) { b.modalResult = numberOperand(m); },
       "", [](Machine&, B& b, EvalStacks& s) { s.pushNumber(b.modalResult); }},
      {18, "Kind", "E", [](Machine& m, B& b) { b.setKind(numberOperand(m)); },
       "", [](Machine&, B& b, EvalStacks& s) { s.pushNumber(b.kind()); }},
      {24, "OnMouseMove", "H", bindBitmap<B::kSlotMouseMove>, nullptr, nullptr},
      {25, "OnMouseUp", "H", bindBitmap<B::kSlotMouseUp>, nullptr, nullptr},
      {28, "Cancel", "E", [](Machine& m, B& b) { b.setCancel(flagOperand(m)); },
       "", [](Machine&, B& b, EvalStacks& s) { pushFlag(s, b.cancel()); }},
      {29, "Default", "E", [](Machine& m, B& b) { b.setDefault(flagOperand(m)); },
       "", [](Machine&, B& b, EvalStacks& s) { pushFlag(s, b.isDefault()); }},
      {31, "OnMessage", "H", bindBitmap<B::kSlotMessage>, nullptr, nullptr},
      {34, "OnKeyDown", "H", bindBitmap<B::kSlotKeyDown>, nullptr, nullptr},
      {35, "OnKeyPress", "H", bindBitmap<B::kSlotKeyPress>, nullptr, nullptr},
      {36, "OnKeyUp", "H", bindBitmap<B::kSlotKeyUp>, nullptr, nullptr},
  };
  addGlyphRows(rows, 19, 20, 21, 22, 23);
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 5, .width = 6, .height = 2, .parent = 4,
                                     .font = 7, .popupMenu = 27, .enabled = 12, .visible = 13, .showHint = 15,
                                     .hint = 16, .color = 33, .cursor = 26, .align = 32, .tabOrder = 17,
                                     .handle = 30});
  addFontMembers(rows, 200);
  return rows;
}

std::vector<Member<FlatButton>> flatButtonRows() {
  using F = FlatButton;
  std::vector<Member<F>> rows = {
      {3, "OnClick", "H", bindFlat<F::kSlotClick>, nullptr, nullptr},
      {8, "AllowAllUp", "E", [](Machine& m, F& b) { b.setAllowAllUp(flagOperand(m)); },
       "", [](Machine&, F& b, EvalStacks& s) { pushFlag(s, b.allowAllUp()); }},
      {9, "Down", "E", [](Machine& m, F& b) { b.setDown(flagOperand(m)); },
       "", [](Machine&, F& b, EvalStacks& s) { pushFlag(s, b.downFlag()); }},
      {10, "Flat", "E", [](Machine& m, F& b) { b.setFlat(flagOperand(m)); },
       "", [](Machine&, F& b, EvalStacks& s) { pushFlag(s, b.flat()); }},
      {11, "OnMouseDown", "H", bindFlat<F::kSlotMouseDown>, nullptr, nullptr},
      // No operand bytes at all, unlike the bitmap button's.
      {12, "DragMove", "", [](Machine&, F& b) { b.dragMove(); }, nullptr, nullptr},
      {22, "GroupIndex", "E", [](Machine& m, F& b) { b.setGroupIndex(numberOperand(m)); },
       "", [](Machine&, F& b, EvalStacks& s) { s.pushNumber(b.groupIndex()); }},
      {23, "OnMouseMove", "H", bindFlat<F::kSlotMouseMove>, nullptr, nullptr},
      {24, "OnMouseUp", "H", bindFlat<F::kSlotMouseUp>, nullptr, nullptr},
      {26, "Handle", nullptr, nullptr,
       "", [](Machine&, F& b, EvalStacks& s) { s.pushNumber(kFlatCanvasBase + 4 * b.tag); }},
  };
  addGlyphRows(rows, 17, 18, 19, 20, 21);
  addCommonMembers(rows, CommonCodes{.caption = 0, .left = 1, .top = 5, .width = 6, .height = 2, .parent = 4,
                                     .font = 7, .enabled = 13, .visible = 14, .showHint = 15, .hint = 16,
                                     .cursor = 25, .align = 27});
  addFontMembers(rows, 200);
  return rows;
}

template <class T>
std::unique_ptr<Object> create(Machine& m, int type, int32_t) {
  return std::make_unique<T>(m, type);
}

}  // namespace

void registerButtonTypes(TypeRegistry& registry) {
  static const std::vector<Member<BitmapButton>> bitmapRows = bitmapButtonRows();
  static const std::vector<Member<FlatButton>> flatRows = flatButtonRows();
  registry.add(describeType(kBitmapButtonType, "bitbtn", bitmapRows, create<BitmapButton>));
  registry.add(describeType(kFlatButtonType, "speedbtn", flatRows, create<FlatButton>));
}

}  // namespace kestrel::objects
