#pragma once
// Plug-ins: shared libraries of the run-time itself, loaded on first use so
// that a program that never needs them never pays for loading them (nor
// needs the libraries they pull in).
#include <string>

namespace kestrel::platform {

// The address of `symbol` in the plug-in `fileName`: in the program itself
// when it was built with the plug-in inside, else loaded from the first
// folder that has it: $KESTREL_PLUGIN_DIR when that is set (and only
// there), else the executable's own folder, its ../lib/kestrel and the
// folder the plug-ins are installed to. Null, with `error` set, when no
// folder has a plug-in that loads.
void* pluginSymbol(const std::string& fileName, const char* symbol, std::string& error);

// The address of `symbol` in the system library `library` (a file name the
// dynamic loader finds, e.g. "libffi.so.8"); null with `error` set.
void* librarySymbol(const char* library, const char* symbol, std::string& error);

}  // namespace kestrel::platform
