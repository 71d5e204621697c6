// The member table of rich edits (type 48).
#include "objects/control_members.h"
#include "objects/controls/rich_edit.h"
#include "objects/streams.h"

namespace kestrel::objects {

namespace {

using R = RichEdit;

void loadFile(Machine& m, R& r) {
  skipByte(m);
  const Str name = stringOperand(m);
  skipByte(m);
  const std::vector<uint8_t> bytes = programFileBytes(m, name);
  r.load(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void saveFile(Machine& m, R& r) {
  skipByte(m);
  const Str name = stringOperand(m);
  skipByte(m);
  writeProgramFile(m, name, r.save());
}

// From the stream's position to its end; a type code other than a
// stream's loads nothing, a file stream that is not open is an error.
void loadStream(Machine& m, R& r) {
  Stream* st = streamReference(m);
  if (st == nullptr) return;
  std::string bytes(static_cast<size_t>(std::max<int64_t>(0, st->size() - st->position())), '\0');
  bytes.resize(st->read(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size()));
  r.load(bytes);
}

void saveStream(Machine& m, R& r) {
  if (Stream* st = streamReference(m)) st->write(r.save());
}

// Style numbers (rounded): 0 bold, 1 italic, 2 underline, 3 strike-out.
uint8_t styleList(Machine& m) {
  uint8_t bits = 0;
  forEachArgument(m, [&] {
    const int32_t n = numberOperand(m);
    if (n >= 0 && n <= 3) bits = static_cast<uint8_t>(bits | 1u << n);
  });
  return bits;
}

// A selection attribute: a value written (truncated) and read back.
template <auto Field>
Member<R> selectionNumber(int code, const char* name, const char* about) {
  return {static_cast<uint8_t>(code), name, "E",
          [](Machine& m, R& r) {
            gui::FormatChange c;
            c.*Field = truncOperand(m);
            r.changeSelection(c);
          },
          "",
          [](Machine&, R& r, EvalStacks& s) {
            const gui::FontDesc f = r.selectionFormat();
            if constexpr (Field == &gui::FormatChange::color) s.pushNumber(f.color);
            else if constexpr (Field == &gui::FormatChange::size) s.pushNumber(f.size);
            else if constexpr (Field == &gui::FormatChange::charset) s.pushNumber(f.charset & 0xFF);
            else s.pushNumber(f.pitch);
          },
          about};
}

template <uint8_t Bit>
Member<R> selectionStyle(int code, const char* name, const char* about) {
  return {static_cast<uint8_t>(code), name, "E",
          [](Machine& m, R& r) {
            gui::FormatChange c;
            if (truncOperand(m) != 0) c.addStyles = Bit;
            else c.removeStyles = Bit;
            r.changeSelection(c);
          },
          "", [](Machine&, R& r, EvalStacks& s) { pushBool(s, (r.selectionFormat().styles & Bit) != 0); }, about};
}

std::vector<Member<R>> richEditRows() {
  std::vector<Member<R>> rows = {
      {6, "Modified", "E", [](Machine& m, R& r) { r.setModified(flagOperand(m)); },
       "", [](Machine&, R& r, EvalStacks& s) { pushBool(s, r.modified() != 0); },
       "whether the user changed the text since it was last set or loaded (writable); reads 1 or 0"},
      property<&R::readOnly, &R::setReadOnly>(7, "ReadOnly", "flag: the user cannot change the text"),
      property<&R::scrollBars, &R::setScrollBars>(8, "ScrollBars", "0 none, 1 horizontal, 2 vertical, 3 both"),
      field<&R::plainText>(9, "PlainText", "flag: files and streams load and save as plain lines, not rich text"),
      property<&R::wordWrap, &R::setWordWrap>(10, "WordWrap", "flag: long lines wrap at the right edge"),
      property<&R::caption, &R::setCaption>(11, "Text", "the whole text, lines joined with CR LF"),
      property<&R::selLength, &R::setSelLength>(12, "SelLength", "length of the selection (a line break counts 2)"),
      property<&R::selStart, &R::setSelStart>(13, "SelStart",
                                              "caret position from 0, counted in Text (setting it clears the selection)"),
      property<&R::selText, &R::setSelText>(14, "SelText", "the selected text; writing replaces the selection"),
      action<&R::clear, Operand::IgnoredByte>(15, "Clear", "empties the text"),
      action<&R::cut, Operand::IgnoredByte>(16, "CutToClipboard", "moves the selection to the clipboard"),
      action<&R::copy, Operand::IgnoredByte>(17, "CopyToClipboard", "copies the selection to the clipboard"),
      action<&R::paste, Operand::IgnoredByte>(18, "PasteFromClipboard", "replaces the selection by the clipboard's text"),
      action<&R::selectAll, Operand::IgnoredByte>(19, "SelectAll", "selects the whole text"),
      {20, "AddLine", "bEb", [](Machine& m, R& r) {
         skipByte(m);
         const Str text = stringOperand(m);
         skipByte(m);
         r.addLine(text);
       }, nullptr, nullptr, "text: appends it as a new last line"},
      {21, "LoadFromFile", "bEb", loadFile, nullptr, nullptr,
       "file name: loads rich text (or plain lines: PlainText, or no \"{\\rtf\" at the start)"},
      {22, "LoadFromStream", "Tb", loadStream, nullptr, nullptr,
       "stream: loads from its position to its end as LoadFromFile does"},
      {23, "SaveToFile", "bEb", saveFile, nullptr, nullptr, "file name: saves rich text (plain lines with PlainText)"},
      {24, "SaveToStream", "Tb", saveStream, nullptr, nullptr, "stream: writes as SaveToFile does, at its position"},
      readOnly<&R::lineCount>(25, "LineCount", "number of lines (0 for an empty text)"),
      {26, "Line", "EE", [](Machine& m, R& r) {
         const int32_t index = truncOperand(m);
         r.setLine(index, stringOperand(m));
       }, "E", [](Machine& m, R& r, EvalStacks& s) { s.pushString(r.line(numberOperand(m))); },
       "index (truncated), text: replaces that line; read with (index, rounded): the line, \"\" outside"},
      property<&R::alignment, &R::setAlignment>(40, "Alignment",
                                                "of the caret's paragraph (writing: the selection's): 0 left, 1 right, 2 centre"),
      property<&R::borderStyle, &R::setBorderStyle>(41, "BorderStyle", "0 none, 1 a frame"),
      property<&R::hideScrollBars, &R::setHideScrollBars>(42, "HideScrollBars",
                                                          "flag: scroll bars show only while needed"),
      property<&R::hideSelection, &R::setHideSelection>(43, "HideSelection",
                                                        "flag: the selection shows only while the edit has the focus"),
      {44, "SelFont", "O", [](Machine& m, R& r) {
         gui::FormatChange c = gui::FormatChange::allOf(fontOperand(m).desc);
         c.pitch.reset();
         r.changeSelection(c);
       }, nullptr, nullptr, "font object: the selection takes its face, size, colour, styles and character set"},
      readOnly<&R::caretLine>(45, "CaretLine", "the line that holds the caret, from 0"),
      readOnly<&R::caretColumn>(46, "CaretColumn", "the caret's place in its line, from 0"),
      {48, "AddLines", "L", [](Machine& m, R& r) { forEachArgument(m, [&] { r.addLine(stringOperand(m)); }); },
       nullptr, nullptr, "texts: each appended as a new last line"},
      property<&R::wantTabs, &R::setWantTabs>(49, "WantTabs", "flag: the Tab key types a tab"),
      selectionNumber<&gui::FormatChange::color>(220, "SelColor", "the selection's colour value (truncated)"),
      {221, "SelName", "E", [](Machine& m, R& r) {
         gui::FormatChange c;
         c.name = stringOperand(m).str();
         r.changeSelection(c);
       }, "", [](Machine&, R& r, EvalStacks& s) { s.pushString(r.selectionFormat().name); },
       "the selection's face name"},
      selectionNumber<&gui::FormatChange::size>(222, "SelSize", "the selection's size in points (truncated)"),
      {223, "SelAddStyles", "L", [](Machine& m, R& r) {
         gui::FormatChange c;
         c.addStyles = styleList(m);
         r.changeSelection(c);
       }, nullptr, nullptr, "styles to add to the selection: 0 bold, 1 italic, 2 underline, 3 strike-out"},
      {224, "SelRemoveStyles", "L", [](Machine& m, R& r) {
         gui::FormatChange c;
         c.removeStyles = styleList(m);
         r.changeSelection(c);
       }, nullptr, nullptr, "styles to remove from the selection: 0 bold, 1 italic, 2 underline, 3 strike-out"},
      selectionNumber<&gui::FormatChange::charset>(225, "SelCharset", "the selection's character set (truncated)"),
      selectionNumber<&gui::FormatChange::pitch>(226, "SelPitch", "the selection's pitch: 0 default, 1 variable, 2 fixed"),
      selectionStyle<gui::kBold>(227, "SelBold", "bold: nonzero sets it; reads 1 or 0"),
      selectionStyle<gui::kItalic>(228, "SelItalic", "italic: nonzero sets it; reads 1 or 0"),
      selectionStyle<gui::kUnderline>(229, "SelUnderline", "underline: nonzero sets it; reads 1 or 0"),
      selectionStyle<gui::kStrikeOut>(230, "SelStrikeOut", "strike-out: nonzero sets it; reads 1 or 0"),
  };
  addCommonMembers(rows, CommonCodes{.left = 0, .top = 3, .width = 4, .height = 1, .parent = 2, .font = 5,
                                     .popupMenu = 29, .enabled = 27, .visible = 28, .showHint = 31, .hint = 32,
                                     .color = 30, .align = 39, .tabOrder = 50, .handle = 51});
  addEventMembers(rows, EventCodes{.mouseDown = 36, .mouseUp = 37, .mouseMove = 38, .keyPress = 35, .keyDown = 34,
                                   .keyUp = 47, .change = 33});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createRichEdit(Machine& m, int type, int32_t) { return std::make_unique<RichEdit>(m, type); }

}  // namespace

void registerRichEditType(TypeRegistry& registry) {
  static const std::vector<Member<R>> rows = richEditRows();
  registry.add(describeType(kRichEditType, "richedit", rows, createRichEdit));
}

}  // namespace kestrel::objects
