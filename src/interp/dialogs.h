#pragma once
// Message boxes as the run-time shows them: in a window when a window
// system is available, otherwise on the terminal.
#include <string_view>

namespace kestrel {

class Machine;

// A modal message with one OK button (the run-time's own messages use it too).
void plainMessageBox(Machine& m, std::string_view text);

// The window system's message box: `flags` are the Windows message-box flags
// (buttons in the low 4 bits, icon in the next 4, default button above);
// returns the Windows identifier of the button chosen (IDOK 1, IDCANCEL 2,
// IDABORT 3, IDRETRY 4, IDIGNORE 5, IDYES 6, IDNO 7).
int messageBox(Machine& m, std::string_view text, std::string_view caption, int flags);

}  // namespace kestrel
