#pragma once
// Masked edits (type 35): a single-line edit whose text may follow an
// edit mask (toolkit/edit_mask.h). The edit text is what the edit shows,
// literals and blanks included; Text is what the program reads, with or
// without the literals as the mask says.
#include "objects/control.h"
#include "toolkit/peers/edit.h"

namespace kestrel::objects {

inline constexpr int kEditType = 35;

class Edit : public ControlOf<gui::EditPeer> {
 public:
  Edit(Machine& m, int type);

  const char* windowClass() const override { return "TEdit"; }

  // Text (the Text member and the window text).
  Str caption() const override;
  void setCaption(const Str& text) override;
  Str editText() const { return Str(peer().text()); }
  // Sets the edit text (fitted to the mask) when it differs from the one shown.
  void setEditText(const Str& text);
  const Str& editMask() const { return maskText_; }
  // What was typed moves to the new mask's input positions (no mask: the
  // Text stays as it was).
  void setEditMask(const Str& mask);
  bool isMasked() const { return !mask_.empty(); }

  int32_t maxLength() const { return maxLength_; }
  void setMaxLength(int32_t length);
  int32_t borderStyle() const { return borderStyle_; }
  void setBorderStyle(int32_t style);
  int32_t selStart() const { return peer().selection().start; }
  // Puts the caret there (no selection).
  void setSelStart(int32_t start);
  int32_t selLength() const { return peer().selection().length; }
  void setSelLength(int32_t length);
  Str selText() const;
  // Replaces the selection; in a masked edit the characters are typed over
  // the positions from the selection's start.
  void setSelText(const Str& text);
  uint8_t autoSize() const { return autoSize_; }
  void setAutoSize(uint8_t flag);
  uint8_t readOnly() const { return readOnly_; }
  void setReadOnly(uint8_t flag);
  // 0 as typed, 1 upper case, 2 lower case: the text the program sets, too.
  int32_t charCase() const { return charCase_; }
  void setCharCase(int32_t charCase);
  uint8_t modified() const { return peer().modified() ? 1 : 0; }
  void setModified(uint8_t flag) { peer().setModified(flag != 0); }
  // One character: the password character, or the character 0 when off.
  Str passwordChar() const { return Str(std::string(1, passwordChar_)); }
  void setPasswordChar(const Str& text);

 protected:
  void appearanceChanged() override;

 private:
  std::string withCase(std::string text) const;

  Str maskText_;
  gui::EditMask mask_;
  int32_t maxLength_ = 0;
  int32_t borderStyle_ = 1;
  uint8_t autoSize_ = 1;
  uint8_t readOnly_ = 0;
  int32_t charCase_ = 0;
  char passwordChar_ = 0;
};

void registerEditType(TypeRegistry& registry);

}  // namespace kestrel::objects
