// advapi32: the user's name.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "extcall/builtin_modules/builtin_module.h"
#include "extcall/builtin_modules/builtin_support.h"

namespace kestrel::extcall::win {

namespace {

std::string userName() {
  if (const passwd* p = getpwuid(geteuid()); p != nullptr && p->pw_name != nullptr) return p->pw_name;
  if (const char* u = std::getenv("USER"); u != nullptr) return u;
  return "user";
}

// The size word counts the terminating zero, on success and when it tells
// the size needed.
BOOL GetUserNameA(Address buffer, Address size) {
  return guarded<BOOL>(0, [&] {
    const std::string name = userName();
    const DWORD room = getDword(size);
    putDword(size, static_cast<DWORD>(name.size() + 1));
    if (name.size() + 1 > room) {
      setLastError(kErrorInsufficientBuffer);
      return 0;
    }
    putText(buffer, room, name);
    return 1;
  });
}

const BuiltinFunction kFunctions[] = {KESTREL_EXPORT(GetUserNameA)};

}  // namespace

}  // namespace kestrel::extcall::win

namespace kestrel::extcall {
const BuiltinModule kAdvapi32Module{"advapi32", win::kFunctions, std::size(win::kFunctions)};
}
