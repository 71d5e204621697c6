#include "objects/member_info.h"

#include <cstring>

#include "objects/object_model.h"

namespace kestrel::objects {

const char* typeName(int type) {
  const TypeDescriptor* d = TypeRegistry::instance().find(type);
  return d ? d->name : nullptr;
}

int typeByName(std::string_view name) {
  for (int code = 0; code < 256; ++code) {
    const TypeDescriptor* d = TypeRegistry::instance().find(code);
    if (d && d->name && name == d->name) return code;
  }
  return -1;
}

const MemberInfo* memberInfo(int type, int member) {
  const TypeDescriptor* d = TypeRegistry::instance().find(type);
  return d ? d->member(member) : nullptr;
}

int memberByName(int type, std::string_view name) {
  const TypeDescriptor* d = TypeRegistry::instance().find(type);
  if (!d) return -1;
  for (int code = 0; code < 256; ++code) {
    const MemberInfo* info = d->member(code);
    if (info && info->name && name == info->name) return code;
  }
  return -1;
}

}  // namespace kestrel::objects
