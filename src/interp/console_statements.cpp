// Console and standard-output statements.
#include <cmath>

#include "console/console.h"
#include "expr/conversions.h"
#include "core/machine.h"
#include "interp/statements.h"
#include "interp/number_printing.h"

namespace kestrel {

namespace {
constexpr uint8_t kNoLineEnd = 11;
}  // namespace

std::string consoleNumberText(double v, char separator) {
  if (v == std::trunc(v)) {
    if (v >= -2147483648.0 && v <= 2147483647.0) return formatInteger(static_cast<int32_t>(v));
    return formatFixed(v, 16, 1, separator);  // whole numbers beyond 32 bits
  }
  return formatFixed(v, 9, 9, separator);
}

std::string plainNumberText(double v, char separator) {
  if (v == std::trunc(v) && v >= -2147483648.0 && v <= 2147483647.0)
    return formatInteger(static_cast<int32_t>(v));
  return formatGeneral(v, 15, 0, separator);
}

void printToConsole(Machine& m) {
  if (m.evaluate() != 0) m.console->write(m.strReg);
  else m.console->write(consoleNumberText(m.numReg, m.decimalSeparator));
  if (m.u8() != kNoLineEnd) m.console->lineEnd();
}

void writeToStdout(Machine& m) {
  std::string number;
  std::string_view text;
  if (m.evaluate() != 0) {
    text = m.strReg.view();
  } else {
    number = plainNumberText(m.numReg, m.decimalSeparator);
    text = number;
  }
  m.out.write(text);
  m.console->noteStandardOutput(text);
  if (m.u8() != kNoLineEnd) {
    m.out.put('\n');
    m.console->noteStandardOutput("\n");
  }
  m.out.flushIfTerminal();
}

void consoleStatement(Machine& m, uint8_t sub) {
  Console& c = *m.console;
  switch (sub) {
    case 10: {  // colours: optional foreground, optional background
      if (m.u8() != 11) {
        c.setForeground(m.evalRound());
        if (m.u8() != 11) c.setBackground(m.evalRound());
      } else {
        c.setBackground(m.evalRound());
      }
      break;
    }
    case 11: {  // cursor: optional row, optional column, optional size
      if (m.u8() != 11) {
        const int row = m.evalRound();
        const uint8_t b2 = m.u8();
        if (b2 == 11) {
          c.gotoXY(c.column(), row);
        } else if (b2 == 2) {
          c.gotoXY(c.column(), row);
          c.setCursorSize(m.evalTrunc());
        } else {
          const int column = m.evalRound();
          c.gotoXY(column, row);
          if (m.u8() != 11) c.setCursorSize(m.evalTrunc());
        }
      } else if (m.u8() != 11) {
        const int column = m.evalRound();
        c.gotoXY(column, c.row());
        if (m.u8() != 11) c.setCursorSize(m.evalTrunc());
      } else {
        c.setCursorSize(m.evalTrunc());
      }
      break;
    }
    case 12: c.clear(); break;
    case 25: c.setTitle(m.evalString()); break;
    case 35: {
      const int a = m.evalRound();
      const int b = m.evalRound();
      if (a != 0) c.copyPage(a, b);
      else c.saveScreen(b);
      break;
    }
    case 36: {
      const int offset = m.evalRound();
      c.pokeScreen(offset, m.evalRound());
      break;
    }
    case 49: {
      int page = m.evalRound();
      if (page >= 8) page = 0;
      const int kind = m.evaluate();
      if (page < 0) {
        m.u8();  // negative pages are ignored
      } else if (page == 0) {
        if (kind != 0) c.write(m.strReg);
        else c.write(consoleNumberText(m.numReg, m.decimalSeparator));
        if (m.u8() != kNoLineEnd) c.lineEnd();
      } else {
        c.printToPage(page, kind != 0 ? m.strReg : plainNumberText(m.numReg, m.decimalSeparator));
        if (m.u8() != kNoLineEnd) c.pageLineEnd(page);
      }
      break;
    }
    case 50: {
      const int page = m.evalRound();
      const int offset = m.evalRound();
      const int value = m.evalRound();
      if (page < 0) break;  // negative pages are ignored
      if (page % 8 == 0) c.pokeScreen(offset, value);
      else c.pokePage(page % 8, offset, value);
      break;
    }
    case 68: c.setKeyMode(m.u8()); break;
    default: break;
  }
}

}  // namespace kestrel
