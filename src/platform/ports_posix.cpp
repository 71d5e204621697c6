#include "platform/ports.h"

#include "state/errors.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define KESTREL_HAVE_PORTS 1
#endif

namespace kestrel::platform {

void raisePrivilegedInstruction() { raise("Privileged instruction"); }

namespace {
void requestAccess([[maybe_unused]] uint16_t port) {
#ifdef KESTREL_HAVE_PORTS
  if (ioperm(port, 1, 1) == 0) return;
#endif
  raisePrivilegedInstruction();
}
}  // namespace

uint8_t portIn(uint16_t port) {
  requestAccess(port);
#ifdef KESTREL_HAVE_PORTS
  return inb(port);
#else
  return 0;
#endif
}

void portOut(uint16_t port, [[maybe_unused]] uint8_t value) {
  requestAccess(port);
#ifdef KESTREL_HAVE_PORTS
  outb(value, port);
#endif
}

}  // namespace kestrel::platform
