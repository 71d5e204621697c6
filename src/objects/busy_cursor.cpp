#include "objects/busy_cursor.h"

#include "core/machine.h"
#include "core/system_state.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {
constexpr int32_t kHourglass = -11;
}  // namespace

BusyCursor::BusyCursor(Machine& m) : m_(m), saved_(m.system->screenCursor) {
  toolkit().setScreenCursor(cursorShapeFor(*m_.system, kHourglass));
}

BusyCursor::~BusyCursor() { toolkit().setScreenCursor(cursorShapeFor(*m_.system, saved_)); }

}  // namespace kestrel::objects
