#pragma once
// Message boxes as the run-time shows them: in a window when a window
// system is available, otherwise on the terminal (the text on standard
// error; when standard input is a terminal the button is chosen by typing
// its key letter, else the default button answers). In the sandbox no box
// is shown and the default button answers.
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/toolkit.h"

namespace kestrel {

class Machine;

// A modal message with one OK button (the run-time's own messages use it too).
void plainMessageBox(Machine& m, std::string_view text);

// The window system's message box: `flags` are the Windows message-box flags
// (buttons in the low 4 bits, icon in the next 4, default button above);
// returns the Windows identifier of the button chosen (IDOK 1, IDCANCEL 2,
// IDABORT 3, IDRETRY 4, IDIGNORE 5, IDYES 6, IDNO 7).
int messageBox(Machine& m, std::string_view text, std::string_view caption, int flags);

// The message dialog: `type` 0 warning, 1 error, 2 information, 3
// confirmation, 4 custom; `buttons` a mask (1 Yes, 2 No, 4 OK, 8 Cancel,
// 16 Help, 32 Abort, 64 Retry, 128 Ignore, 256 All; 0 is OK alone).
// Returns the modal result (OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5,
// Yes 6, No 7, All 8).
int messageDialog(Machine& m, std::string_view text, int type, int buttons);

// The program's name as captions show it (its file name without folder and
// extension).
std::string applicationTitle(const Machine& m);

// ---- The terminal form (exposed for tests).
// The key letter of each button: the first letter of its label that no
// earlier button uses.
std::vector<char> buttonKeys(const std::vector<DialogButton>& buttons);
// Writes the box to `errorFd` and, when `inputFd` is a terminal, reads the
// answer from it; returns the index of the button chosen.
int askOnTerminal(const MessageBoxRequest& request, int inputFd, int errorFd);

}  // namespace kestrel
