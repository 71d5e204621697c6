#pragma once
// What one machine keeps for external calls: its loaded-library table and
// its call-back handlers.
#include "extcall/callbacks.h"
#include "extcall/library_table.h"

namespace kestrel {
class Machine;
}

namespace kestrel::extcall {

struct ExternalState {
  ExternalState(Machine& m, std::string programFolder, bool disabled);
  ~ExternalState();
  ExternalState(const ExternalState&) = delete;
  ExternalState& operator=(const ExternalState&) = delete;

  Machine& machine;
  LibraryTable libraries;
  CallbackHandlers callbacks;
};

// The machine's state, created on first use.
ExternalState& stateOf(Machine& m);

}  // namespace kestrel::extcall
