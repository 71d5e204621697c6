#pragma once
// Message boxes as the run-time shows them: in a window when a window
// system is available, otherwise on the terminal.
#include <string_view>

namespace kestrel {

class Machine;

// A modal message with one OK button (the run-time's own messages use it too).
void plainMessageBox(Machine& m, std::string_view text);

}  // namespace kestrel
