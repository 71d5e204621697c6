// The font object (type 34): its members are the font sub-members at
// codes 0 to 13.
#include "objects/control.h"
#include "objects/control_members.h"

namespace kestrel::objects {

namespace {
std::unique_ptr<Object> createFont(Machine&, int type, int32_t) { return std::make_unique<FontObject>(type); }

std::vector<Member<FontObject>> fontRows() {
  std::vector<Member<FontObject>> rows;
  addFontMembers(rows, 0);
  return rows;
}
}  // namespace

void registerFontType(TypeRegistry& registry) {
  static const std::vector<Member<FontObject>> rows = fontRows();
  registry.add(describeType(kFontType, "font", rows, createFont));
}

}  // namespace kestrel::objects
