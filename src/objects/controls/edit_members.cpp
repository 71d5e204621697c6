// The member table of masked edits (type 35).
#include "objects/control_members.h"
#include "objects/controls/edit.h"

namespace kestrel::objects {

namespace {

std::vector<Member<Edit>> editRows() {
  using E = Edit;
  std::vector<Member<E>> rows = {
      property<&E::maxLength, &E::setMaxLength>(10, "MaxLength", "the longest text the user may type (0 or less: no limit)"),
      property<&E::borderStyle, &E::setBorderStyle>(12, "BorderStyle", "0 none, 1 a frame"),
      property<&E::editMask, &E::setEditMask>(
          22, "EditMask", "the input mask, e.g. \"(999) 000-0000;1;_\" (docs/controls/edits.md); \"\" for none"),
      readOnly<&E::isMasked>(23, "IsMasked", "1 when an input mask is set, else 0"),
      property<&E::editText, &E::setEditText>(
          24, "EditText", "the text as shown: mask literals included, blanks for positions not typed"),
      property<&E::selLength, &E::setSelLength>(25, "SelLength", "length of the selection"),
      property<&E::selStart, &E::setSelStart>(26, "SelStart", "caret position from 0 (setting it clears the selection)"),
      property<&E::selText, &E::setSelText>(27, "SelText", "the selected text; writing replaces the selection"),
      property<&E::autoSize, &E::setAutoSize>(28, "AutoSize", "flag: the height follows the font"),
      property<&E::readOnly, &E::setReadOnly>(29, "ReadOnly", "flag: the user cannot change the text"),
      property<&E::charCase, &E::setCharCase>(30, "CharCase", "0 as typed, 1 upper case, 2 lower case"),
      {31, "Modified", "E", [](Machine& m, E& e) { e.setModified(flagOperand(m)); },
       "", [](Machine&, E& e, EvalStacks& s) { pushBool(s, e.modified() != 0); },
       "whether the user changed the text (the program's changes clear it); reads 1 or 0"},
      property<&E::passwordChar, &E::setPasswordChar>(
          32, "PasswordChar", "the first character shows instead of each character; \"\" off (reads the character 0)"),
  };
  addCommonMembers(rows, CommonCodes{.text = 0, .left = 1, .top = 4, .width = 5, .height = 2, .parent = 3, .font = 6,
                                     .popupMenu = 9, .enabled = 7, .visible = 8, .showHint = 14, .hint = 15,
                                     .color = 13, .align = 11, .tabOrder = 21, .handle = 19});
  addEventMembers(rows, EventCodes{.keyPress = 18, .keyDown = 17, .keyUp = 33, .change = 16, .message = 20});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createEdit(Machine& m, int type, int32_t) { return std::make_unique<Edit>(m, type); }

}  // namespace

void registerEditType(TypeRegistry& registry) {
  static const std::vector<Member<Edit>> rows = editRows();
  registry.add(describeType(kEditType, "edit", rows, createEdit));
}

}  // namespace kestrel::objects
