#pragma once
// Starting programs from a Windows-style command line. The line is split
// the way Windows splits it and the program runs directly (no shell).
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

// Splits a command line: the program name ends at the first blank (or is
// quoted); the arguments follow the usual Windows rules (blanks separate
// them outside quotes, 2n backslashes before a quote give n backslashes and
// the quote opens or closes, 2n+1 give n backslashes and a literal quote,
// "" inside quotes is a literal quote, other backslashes are literal).
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// The file that runs for a program name: a name with a folder is taken
// after path translation; a bare name is looked for in `ownFolder`, the
// current directory and then PATH. A name ending in ".exe" that has no
// such file also matches the file without that ending. Empty when nothing
// executable is found.
std::string findProgram(const std::string& name, const std::string& ownFolder);

struct ProgramStart {
  int error = 0;       // errno of a start that failed, else 0
  int exitStatus = 0;  // with waiting: the exit status (128 + signal when killed)
};

// Starts the program of the command line. With `wait` it returns when the
// program has ended; without, a helper reaps it when it ends, so that no
// finished child is left behind.
ProgramStart startProgram(std::string_view commandLine, bool wait, const std::string& ownFolder);

}  // namespace kestrel::platform
