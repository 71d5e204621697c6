#pragma once
// Single-line edits with an optional input mask.
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/edit_mask.h"
#include "toolkit/peers/window.h"

namespace kestrel::gui {

// A selection in a text: where it starts (the caret when it is empty) and
// how many characters it takes.
struct TextSelection {
  int32_t start = 0;
  int32_t length = 0;
  bool operator==(const TextSelection&) const = default;
};

// A single-line edit. Its text (text(), setText()) is the edit text: for
// a masked edit the literals in their places and the mask's blank in each
// position not typed yet; the engine fits what it sets to the mask. Every
// change of the text, the program's or the user's, raises Change.
class EditPeer : public WindowPeer {
 public:
  explicit EditPeer(WindowOwner* owner);
  ~EditPeer() override;

  // Puts the caret at the start and clears the modified flag.
  void setText(std::string_view text) override;
  // The mask the user types into (empty: none).
  virtual void setMask(const EditMask& mask) { mask_ = mask; }
  // The longest text the user may type (0: no limit); a longer text the
  // program set stays.
  virtual void setMaxLength(int32_t length) { maxLength_ = length; }
  // What the user types becomes upper or lower case.
  virtual void setCharCase(CaseConversion conversion) { charCase_ = conversion; }
  // Shows every character as `c` (0: the text itself).
  virtual void setPasswordChar(char c) { passwordChar_ = c; }
  virtual void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
  virtual void setBorder(bool border) { border_ = border; }
  virtual TextSelection selection() const { return selection_; }
  // Clamped to the text.
  virtual void setSelection(TextSelection selection);
  // True once the user changed the text (the program's changes clear it).
  virtual bool modified() const { return modified_; }
  virtual void setModified(bool modified) { modified_ = modified; }

 protected:
  void changed();

  EditMask mask_;
  int32_t maxLength_ = 0;
  CaseConversion charCase_ = CaseConversion::AsTyped;
  char passwordChar_ = 0;
  bool readOnly_ = false;
  bool border_ = true;
  TextSelection selection_;
  bool modified_ = false;
};

}  // namespace kestrel::gui
