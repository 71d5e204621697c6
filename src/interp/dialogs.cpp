#include "interp/dialogs.h"

#include <cstdio>
#include <string>

#include "interp/machine.h"

namespace kestrel {

void plainMessageBox(Machine& m, std::string_view text) {
  m.out.flush();
  std::fprintf(stderr, "%s\n", std::string(text).c_str());
}

}  // namespace kestrel
