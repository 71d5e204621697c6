// The font dialog (type 75): a font, dialog options, size limits and an
// apply handler; showing it asks the toolkit for the dialog.
#include "events/dispatch.h"
#include "objects/control.h"
#include "objects/event_members.h"
#include "objects/member_operands.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

constexpr int kFontDialogType = 75;

class FontDialog : public EventSource {
 public:
  explicit FontDialog(int type) : EventSource(type) {}
  gui::FontDesc font;
  uint32_t options = gui::fontdlg::bit(gui::fontdlg::kEffects);
  int32_t minSize = 0;
  int32_t maxSize = 0;
};

// Style numbers: 0 bold, 1 italic, 2 underline, 3 strike-out; others are ignored.
void changeStyles(Machine& m, FontDialog& d, bool add) {
  skipByte(m);
  forEachArgument(m, [&] {
    const int32_t n = numberOperand(m);
    if (n < 0 || n > 3) return;
    const auto bit = static_cast<uint8_t>(1u << n);
    d.font.styles = add ? static_cast<uint8_t>(d.font.styles | bit) : static_cast<uint8_t>(d.font.styles & ~bit);
  });
  skipByte(m);
}

// Option numbers 0 to 15; others are ignored.
void changeOptions(Machine& m, FontDialog& d, bool add) {
  forEachArgument(m, [&] {
    const int32_t n = numberOperand(m);
    if (n < 0 || n > 15) return;
    const uint32_t bit = gui::fontdlg::bit(n);
    d.options = add ? d.options | bit : d.options & ~bit;
  });
}

FontObject& fontObjectOperand(Machine& m) {
  auto* font = dynamic_cast<FontObject*>(&containerLookup(m, readObjectOperand(m)));
  if (font == nullptr) raise(texts::kInvalidCast);
  return *font;
}

// The handler runs while the dialog is open, each time the user applies.
bool execute(Machine& m, FontDialog& d) {
  gui::FontDialogRequest request;
  request.font = d.font;
  request.options = d.options;
  request.minSize = d.minSize;
  request.maxSize = d.maxSize;
  Machine* machine = &m;
  request.apply = [machine, &d](const gui::FontDesc& shown) {
    const int32_t entry = d.handlerFor(gui::EventKind::Apply);
    if (entry == 0) return;
    d.font = shown;
    events::notify(*machine, entry, d.sender());
  };
  if (sandboxed(m)) return false;  // no dialogs in the sandbox
  const bool confirmed = toolkit().showFontDialog(request);
  events::checkPendingEnd(m);  // a handler ran the end statement
  if (confirmed) d.font = request.font;
  return confirmed;
}

void screenFontName(Machine& m, FontDialog&, EvalStacks& s) {
  const int32_t n = numberOperand(m);
  const std::vector<std::string> fonts = toolkit().screenFonts();
  if (n < 0 || static_cast<size_t>(n) >= fonts.size()) raiseListIndex(n);
  s.pushString(fonts[static_cast<size_t>(n)]);
}

std::vector<Member<FontDialog>> fontDialogRows() {
  std::vector<Member<FontDialog>> rows = {
      {0, "Color", "E", [](Machine& m, FontDialog& d) { d.font.color = numberOperand(m); },
       "", [](Machine&, FontDialog& d, EvalStacks& s) { s.pushNumber(d.font.color); }, "the chosen font's colour"},
      {1, "Name", "E", [](Machine& m, FontDialog& d) { d.font.name = stringOperand(m).str(); },
       "", [](Machine&, FontDialog& d, EvalStacks& s) { s.pushString(d.font.name); }, "the chosen font's face name"},
      {2, "Size", "E", [](Machine& m, FontDialog& d) { d.font.size = numberOperand(m); },
       "", [](Machine&, FontDialog& d, EvalStacks& s) { s.pushNumber(d.font.size); },
       "the chosen font's size in points"},
      {3, "AddStyles", "bLb", [](Machine& m, FontDialog& d) { changeStyles(m, d, true); }, nullptr, nullptr,
       "styles to add: 0 bold, 1 italic, 2 underline, 3 strike-out"},
      {4, "RemoveStyles", "bLb", [](Machine& m, FontDialog& d) { changeStyles(m, d, false); }, nullptr, nullptr,
       "styles to remove: 0 bold, 1 italic, 2 underline, 3 strike-out"},
      {5, "ScreenFontCount", nullptr, nullptr,
       "", [](Machine&, FontDialog&, EvalStacks& s) { s.pushNumber(static_cast<double>(toolkit().screenFonts().size())); },
       "the number of screen fonts"},
      {6, "ScreenFontName", "E", [](Machine& m, FontDialog&) { ignoredOperand(m); }, "E", screenFontName,
       "n: the name of screen font n (writing evaluates a value and ignores it)"},
      {7, "Font", "O", [](Machine& m, FontDialog& d) { d.font = fontOperand(m).desc; }, nullptr, nullptr,
       "font object: the dialog starts from its attributes"},
      {8, "CopyFontTo", "O", [](Machine& m, FontDialog& d) { fontObjectOperand(m).desc = d.font; }, nullptr, nullptr,
       "font object: gets the chosen font"},
      // Reading the limits yields what was set.
      {9, "MaxFontSize", "E", [](Machine& m, FontDialog& d) { d.maxSize = numberOperand(m); },
       "", [](Machine&, FontDialog& d, EvalStacks& s) { s.pushNumber(d.maxSize); },
       "the largest size offered (0: no limit)"},
      {10, "MinFontSize", "E", [](Machine& m, FontDialog& d) { d.minSize = numberOperand(m); },
       "", [](Machine&, FontDialog& d, EvalStacks& s) { s.pushNumber(d.minSize); },
       "the smallest size offered (0: no limit)"},
      {11, "AddOptions", "L", [](Machine& m, FontDialog& d) { changeOptions(m, d, true); }, nullptr, nullptr,
       "option numbers 0 to 15 to add"},
      {12, "RemoveOptions", "L", [](Machine& m, FontDialog& d) { changeOptions(m, d, false); }, nullptr, nullptr,
       "option numbers 0 to 15 to remove"},
      {13, "Execute", "", [](Machine& m, FontDialog& d) { execute(m, d); },
       "", [](Machine& m, FontDialog& d, EvalStacks& s) { pushBool(s, execute(m, d)); },
       "shows the dialog; as an expression 1 when the user confirmed, else 0"},
  };
  addEventMembers(rows, EventCodes{.apply = 14});
  return rows;
}

std::unique_ptr<Object> createFontDialog(Machine&, int type, int32_t) { return std::make_unique<FontDialog>(type); }

}  // namespace

void registerFontDialogType(TypeRegistry& registry) {
  static const std::vector<Member<FontDialog>> rows = fontDialogRows();
  registry.add(describeType(kFontDialogType, "fontdialog", rows, createFontDialog));
}

}  // namespace kestrel::objects
