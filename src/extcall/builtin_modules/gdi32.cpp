// gdi32: the screen's device capabilities.
#include "extcall/builtin_modules/builtin_module.h"
#include "extcall/builtin_modules/builtin_support.h"
#include "toolkit/toolkit.h"

namespace kestrel::extcall::win {

namespace {

constexpr int kDotsPerInch = 96;

// Every device context answers for the screen.
INT GetDeviceCaps(HANDLE, INT index) {
  Toolkit& t = toolkit();
  switch (index) {
    case 4: return t.systemMetric(0) * 254 / (kDotsPerInch * 10);  // width in millimetres
    case 6: return t.systemMetric(1) * 254 / (kDotsPerInch * 10);  // height in millimetres
    case 8: return t.systemMetric(0);                               // width in pixels
    case 10: return t.systemMetric(1);                              // height in pixels
    case 12: return 32;                                             // bits per pixel
    case 14: return 1;                                              // planes
    case 24: return -1;                                             // colours: more than a palette
    case 88: case 90: return kDotsPerInch;                          // logical pixels per inch
    case 116: return 60;                                            // refresh rate
    default: return 0;
  }
}

const BuiltinFunction kFunctions[] = {KESTREL_EXPORT(GetDeviceCaps)};

}  // namespace

}  // namespace kestrel::extcall::win

namespace kestrel::extcall {
const BuiltinModule kGdi32Module{"gdi32", win::kFunctions, std::size(win::kFunctions)};
}
