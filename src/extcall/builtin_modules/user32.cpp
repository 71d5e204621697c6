// user32: message boxes and beeps, system metrics, windows by handle
// (through the toolkit's handle table), the cursor and the keyboard.
#include "extcall/builtin_modules/builtin_module.h"
#include "extcall/builtin_modules/builtin_support.h"
#include "toolkit/dialogs.h"
#include "toolkit/toolkit.h"

namespace kestrel::extcall::win {

namespace {

INT MessageBoxA(HANDLE, Address text, Address caption, UINT type) {
  return guarded<INT>(0, [&] {
    const std::string title = caption == 0 ? std::string("Error") : textAt(caption);
    return messageBox(machine(), textAt(text), title, static_cast<int>(type));
  });
}

BOOL MessageBeep(UINT) {
  toolkit().beep();
  return 1;
}

INT GetSystemMetrics(INT index) { return toolkit().systemMetric(index); }

INT GetWindowTextA(HANDLE window, Address buffer, INT size) {
  return guarded<INT>(0, [&] {
    std::string text;
    toolkit().windowText(window, text);
    if (size <= 0) return 0;
    return static_cast<INT>(putText(buffer, static_cast<DWORD>(size), text));
  });
}

INT GetWindowTextLengthA(HANDLE window) {
  std::string text;
  toolkit().windowText(window, text);
  return static_cast<INT>(text.size());
}

BOOL SetWindowTextA(HANDLE window, Address text) {
  return guarded<BOOL>(0, [&] { return toolkit().setWindowText(window, textAt(text)) ? 1 : 0; });
}

HANDLE FindWindowA(Address className, Address title) {
  return guarded<HANDLE>(0, [&] {
    const std::string c = className == 0 ? std::string() : textAt(className);
    const std::string t = title == 0 ? std::string() : textAt(title);
    return toolkit().findWindow(className == 0 ? nullptr : &c, title == 0 ? nullptr : &t);
  });
}

BOOL ShowWindow(HANDLE window, INT command) { return toolkit().showWindow(window, command) ? 1 : 0; }

LRESULT SendMessageA(HANDLE window, UINT message, WPARAM wParam, LPARAM lParam) {
  return guarded<LRESULT>(0, [&] { return toolkit().sendMessage(window, message, wParam, lParam); });
}

BOOL PostMessageA(HANDLE window, UINT message, WPARAM wParam, LPARAM lParam) {
  return guarded<BOOL>(0, [&] { return toolkit().postMessage(window, message, wParam, lParam) ? 1 : 0; });
}

BOOL GetCursorPos(Address point) {
  return guarded<BOOL>(0, [&] {
    int xy[2] = {0, 0};
    if (!toolkit().cursorPosition(xy[0], xy[1])) return 0;
    putBytes(point, xy, sizeof xy);
    return 1;
  });
}

BOOL SetCursorPos(INT x, INT y) { return toolkit().setCursorPosition(x, y) ? 1 : 0; }

// SHORT results, widened with their sign.
INT GetKeyState(INT key) { return static_cast<int16_t>(toolkit().keyState(key)); }

INT GetAsyncKeyState(INT key) { return static_cast<int16_t>(toolkit().keyState(key) & 0x8000); }

const BuiltinFunction kFunctions[] = {
    KESTREL_EXPORT(FindWindowA),      KESTREL_EXPORT(GetAsyncKeyState),     KESTREL_EXPORT(GetCursorPos),
    KESTREL_EXPORT(GetKeyState),      KESTREL_EXPORT(GetSystemMetrics),     KESTREL_EXPORT(GetWindowTextA),
    KESTREL_EXPORT(GetWindowTextLengthA), KESTREL_EXPORT(MessageBeep),      KESTREL_EXPORT(MessageBoxA),
    KESTREL_EXPORT(PostMessageA),     KESTREL_EXPORT(SendMessageA),         KESTREL_EXPORT(SetCursorPos),
    KESTREL_EXPORT(SetWindowTextA),   KESTREL_EXPORT(ShowWindow),
};

}  // namespace

}  // namespace kestrel::extcall::win

namespace kestrel::extcall {
const BuiltinModule kUser32Module{"user32", win::kFunctions, std::size(win::kFunctions)};
}
