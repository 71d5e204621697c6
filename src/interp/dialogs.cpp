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

namespace kestrel {

int messageBox(Machine& m, std::string_view text, std::string_view caption, int flags) {
  (void)caption;
  (void)flags;
  plainMessageBox(m, text);
  return 1;
}

}  // namespace kestrel
