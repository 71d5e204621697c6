#pragma once
// Processor I/O ports, where the system lets the process use them; elsewhere
// "Privileged instruction" is raised, as the processor would fault.
#include <cstdint>

namespace kestrel::platform {

uint8_t portIn(uint16_t port);
void portOut(uint16_t port, uint8_t value);
[[noreturn]] void raisePrivilegedInstruction();

}  // namespace kestrel::platform
