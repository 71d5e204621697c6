#include "objects/member_info.h"

namespace kestrel::objects {

const char* typeName(int) { return nullptr; }
int typeByName(std::string_view) { return -1; }
const MemberInfo* memberInfo(int, int) { return nullptr; }
int memberByName(int, std::string_view) { return -1; }

}  // namespace kestrel::objects
