// Built-in functions that read the console: keys, lines, the screen and pages.
#include "console/console.h"
#include "console/key_decoder.h"
#include "console/screen_model.h"
#include "expr/builtin_functions.h"
#include "expr/conversions.h"

namespace kestrel {

namespace {

// The value of a typed line: its leading number, 0 when it has none.
double lineValue(std::string_view line, char separator) {
  try {
    return parseLenient(line, separator);
  } catch (const RuntimeError&) {
    return 0;  // "-" or "1e" alone: not a number, and no reason to stop
  }
}

}  // namespace

bool consoleFunction(Machine& m, uint8_t code, EvalStacks& s) {
  Console& c = *m.console;
  switch (code) {
    case 7: s.pushString(keyText(c.readKey())); return true;
    case 35: {  // console line input: the line, and its value in the number output
      Str& slot = s.pushSlot();
      slot.assign(c.readLine());
      m.checkString(slot);
      s.setNumberOutput(lineValue(slot.view(), m.decimalSeparator));
      return true;
    }
    case 43:
      m.evaluate();  // the argument is evaluated and ignored
      s.pushNumber(c.column());
      return true;
    case 44: s.pushNumber(c.row()); return true;
    case 45: s.pushNumber(c.peekScreen(roundArg(m))); return true;
    case 60: {  // page cell: page 0 is the screen
      const int32_t page = roundArg(m);
      const int32_t offset = roundArg(m);
      if (page < 0) s.pushNumber(0);  // names no page
      else if (page % 8 == 0) s.pushNumber(c.peekScreen(offset));
      else s.pushNumber(c.peekPage(page % 8, offset));
      return true;
    }
    case 50: s.pushNumber(c.inputHandle()); return true;
    case 68: s.pushNumber(c.outputHandle()); return true;
    case 53: s.pushNumber(m.options.windowed ? 0 : 1); return true;
    case 58: s.pushNumber(ScreenModel::kColumns); return true;
    case 59: s.pushNumber(ScreenModel::kRows); return true;
    case 87: {  // standard input read: up to n bytes in one read
      const int32_t count = roundArg(m);
      m.out.flush();
      Str& slot = s.pushSlot();
      slot.assign(c.readInput(count));
      return true;
    }
    default: return false;
  }
}

}  // namespace kestrel
