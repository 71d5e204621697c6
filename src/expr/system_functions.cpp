// Built-in functions that reach the system: parameters, the environment,
// files and directories, dates and times, dialogs, the data block, the
// resources, memory at program-supplied addresses and the ports.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "expr/builtin_functions.h"
#include "expr/conversions.h"
#include "expr/format_text.h"
#include "extcall/external_calls.h"
#include "toolkit/dialogs.h"
#include "core/system_state.h"
#include "platform/file_search.h"
#include "platform/files.h"
#include "platform/memory_access.h"
#include "platform/paths.h"
#include "platform/ports.h"
#include "platform/process.h"

extern char** environ;

namespace kestrel {

namespace {

// What the program-start function reports: above 31 when the program
// started, else why not (2 not found, 11 not a program, 0 anything else).
constexpr int kStarted = 33;

std::string path(const Str& windowsName) { return platform::translatePath(windowsName.view()); }

std::string environmentVariable(const std::string& name) {
  if (name.empty()) return {};
  if (const char* v = std::getenv(name.c_str())) return v;
  // Windows compares variable names without regard to case.
  for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
    const std::string_view entry(*e);
    const size_t eq = entry.find('=');
    if (eq != std::string_view::npos && platform::equalsIgnoringCase(entry.substr(0, eq), name))
      return std::string(entry.substr(eq + 1));
  }
  return {};
}

std::string formatted(const char* format, int a, int b, int c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, a, b, c);
  return buf;
}

struct tm localNow() {
  const time_t now = time(nullptr);
  struct tm t {};
  localtime_r(&now, &t);
  return t;
}

double tickSeconds() {
  timespec t{};
  clock_gettime(CLOCK_BOOTTIME, &t);
  const int64_t ms = static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
  return static_cast<double>(ms) * 0.001;
}

int startResult(int error) {
  if (error == 0) return kStarted;
  if (error == ENOENT || error == ENOTDIR) return 2;
  if (error == ENOEXEC || error == EACCES) return 11;
  return 0;
}

// The strict reader for data items, except that a text that is no number
// gives 0 instead of stopping the program.
double dataNumber(const Str& text, char separator) {
  try {
    return parseStrict(text.view(), separator);
  } catch (const RuntimeError&) {
    return 0;
  }
}

// Read data: the next item of the data block as a string and a number.
void readData(Machine& m, EvalStacks& s) {
  const int32_t saved = m.pos;
  const int32_t at = m.dataPointer;
  const int32_t end = m.image.codeStart;
  if (at < m.image.dataStart || at >= end) {  // past the data: "" and 0
    s.pushNumber(0);
    s.setNumberOutput(0);
    s.pushString(Str());
    return;
  }
  m.pos = at;
  Str text;
  double number = 0;
  int kind = 1;
  if (m.u8() == 2) {
    const size_t length = m.u16();
    const size_t available = static_cast<size_t>(std::max(0, end - m.pos));
    const size_t taken = std::min(length, available);  // an item cut off by the code keeps what is there
    text = Str(std::string_view(reinterpret_cast<const char*>(m.code + m.pos), taken));
    m.pos += static_cast<int32_t>(taken);
    number = dataNumber(text, m.decimalSeparator);
  } else {
    kind = m.evaluate(number, text);
    if (kind != 0) number = dataNumber(text, m.decimalSeparator);
    else text = formatGeneral(number, 15, 0, m.decimalSeparator);
  }
  m.dataPointer = m.pos;
  m.pos = saved;
  if (kind != 0) {
    s.pushNumber(number);
    s.setNumberOutput(number);
    s.pushString(std::move(text));
  } else {
    s.setTextOutput(text);
    s.pushString(std::move(text));
    s.pushNumber(number);
  }
}

// Consumes a subscript list without an array behind it.
void skipSubscripts(Machine& m) {
  int count = m.u8();
  if (count == 0) count = 1;
  for (int i = 0; i < count && i < 5; ++i) m.evalNumber();
}

double variableAddress(Machine& m) {
  const int form = m.u8();
  const int32_t number = m.s16();
  const int kind = m.u8();
  auto address = [](const void* p) { return static_cast<double>(reinterpret_cast<uintptr_t>(p)); };
  if (form == 1) {
    if (isNumericKind(kind)) return address(m.vars.scalarAt(kind, number));
    if (kind == kString) return address(m.vars.stringAt(number).data());
    if (kind == kFixString) return address(m.vars.fixStringAt(number).text.data());
    return -1;
  }
  if (!isNumericKind(kind)) {
    skipSubscripts(m);  // strings and other kinds have no element address
    return 0;
  }
  const int64_t position = m.elementPosition(kind, number);
  return address(m.vars.elementAt(kind, position));
}

double fileSearchNumber(const platform::FoundFile& f, uint8_t code) {
  if (!f.valid) return 0;
  switch (code) {
    case 80: return static_cast<double>(f.size);
    case 81: return f.attributes;
    default: return platform::packedDateTime(f.modified);
  }
}

std::string foundTime(const platform::FoundFile& f) {
  struct tm t {};
  if (!f.valid || localtime_r(&f.modified, &t) == nullptr) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d:%02d", t.tm_hour, t.tm_min);
  return buf;
}

std::string foundDate(const platform::FoundFile& f) {
  struct tm t {};
  if (!f.valid || gmtime_r(&f.modified, &t) == nullptr) return {};
  char buf[48];
  std::snprintf(buf, sizeof buf, "%d-%d-%d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900);
  return buf;
}

void formatTextFunction(Machine& m, EvalStacks& s) {
  const Str format = stringArg(m);
  std::vector<FormatArgument> args;
  while (m.u8() != 11 && !m.atEnd()) {
    FormatArgument a;
    Str text;
    a.isText = m.evaluate(a.number, text) != 0;
    if (a.isText) a.text = text.str();
    args.push_back(std::move(a));
  }
  const std::string result = formatText(format.view(), args, m.decimalSeparator);
  if (result.size() > m.options.maxStringLength) raise(texts::kOutOfMemory);
  s.pushString(result);
}

}  // namespace

void systemFunction(Machine& m, uint8_t code, EvalStacks& s) {
  SystemState& sys = *m.system;
  const bool sandbox = m.options.sandbox;
  switch (code) {
    case 8: s.pushNumber(static_cast<double>(m.options.arguments.size())); return;
    case 9: {
      const int32_t n = roundArg(m);
      if (n == 0) s.pushString(m.options.executablePath);
      else if (n > 0 && static_cast<size_t>(n) <= m.options.arguments.size()) s.pushString(m.options.arguments[static_cast<size_t>(n) - 1]);
      else s.pushString(Str());
      return;
    }
    case 20: s.pushNumber(sys.events.mouseX); return;
    case 21: s.pushNumber(sys.events.mouseY); return;
    case 22: case 23: {
      const Str name = stringArg(m);
      const std::string p = path(name);
      const bool yes = !sandbox && (code == 22 ? platform::fileExists(p) : platform::directoryExists(p));
      s.pushNumber(yes ? 1 : 0);
      return;
    }
    case 37: s.pushNumber(tickSeconds()); return;
    case 38: case 39: {
      int width = 1024, height = 768;  // without a display, the classic screen
      if (!sandbox && toolkit().windowSystemAvailable() && !toolkit().screenSize(width, height)) {
        width = 1024;
        height = 768;
      }
      s.pushNumber(code == 38 ? width : height);
      return;
    }
    case 40: s.pushNumber(sys.screenCursor); return;
    case 41: {
      char buf[4096];
      s.pushString(getcwd(buf, sizeof buf) != nullptr ? std::string(buf) : std::string());
      return;
    }
    case 48: {
      const Str text = stringArg(m);
      const Str caption = stringArg(m);
      const int32_t flags = truncArg(m);
      s.pushNumber(messageBox(m, text.view(), caption.view(), flags));
      return;
    }
    case 49: {
      const Str text = stringArg(m);
      const int32_t type = roundArg(m);
      const int32_t buttons = roundArg(m);
      roundArg(m);  // help context: there is no help system
      s.pushNumber(messageDialog(m, text.view(), type, buttons) & 0xFFFF);
      return;
    }
    case 56: {
      const struct tm t = localNow();
      s.pushString(formatted("%02d-%02d-%04d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900));
      return;
    }
    case 57: {
      const struct tm t = localNow();
      s.pushString(formatted("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec));
      return;
    }
    case 69: readData(m, s); return;
    case 70: {
      const Str command = stringArg(m);
      roundArg(m);  // show mode: programs here have no window state to choose
      if (sandbox) {
        s.pushNumber(0);
        return;
      }
      m.out.flush();
      s.pushNumber(startResult(platform::startProgram(command.view(), false, programFolder(m)).error));
      return;
    }
    case 75: s.pushString(environmentVariable(stringArg(m).str())); return;
    case 76: {
      const Str pattern = stringArg(m);
      const int32_t mask = roundArg(m) & 0xFF;
      const bool found = !sandbox && sys.search.first(pattern.view(), mask);
      s.pushString(found ? sys.search.found().name : std::string());
      return;
    }
    case 77: s.pushString(sys.search.next() ? sys.search.found().name : std::string()); return;
    case 78: s.pushString(sys.search.found().name); return;
    case 79: s.pushString(foundTime(sys.search.found())); return;
    case 80: case 81: case 84: s.pushNumber(fileSearchNumber(sys.search.found(), code)); return;
    case 82: s.pushString(sys.search.found().shortName); return;
    case 83: s.pushString(foundDate(sys.search.found())); return;
    case 90: {  // resource position, counted from 0
      const double n = numberArg(m);
      const size_t count = m.image.resources.size();
      double position = 0;
      if (n >= 0 && n < static_cast<double>(count)) {
        const int32_t index = roundToInt32(n);
        if (static_cast<size_t>(index) < count) position = m.image.resources[static_cast<size_t>(index)];
      }
      s.pushNumber(position);
      return;
    }
    case 91: s.pushNumber(static_cast<double>(m.image.resources.size())); return;
    case 93: s.pushNumber(variableAddress(m)); return;
    case 94: {
      const uint64_t address = platform::addressFromNumber(std::nearbyint(numberArg(m)));
      s.pushString(platform::textAtAddress(address, m.options.maxStringLength));
      return;
    }
    case 99: {
      const int32_t port = roundArg(m);
      if (sandbox) platform::raisePrivilegedInstruction();
      s.pushNumber(platform::portIn(static_cast<uint16_t>(port)));
      return;
    }
    case 104: formatTextFunction(m, s); return;
    case 105: s.pushNumber(static_cast<double>(cursorHandle(sys, truncArg(m)))); return;
    case 106: callbackEntry(m, s); return;
    case 108: libraryHandle(m, s); return;
    case 111: {
      const uint64_t a = platform::addressFromNumber(std::trunc(numberArg(m)));
      const uint64_t b = platform::addressFromNumber(std::trunc(numberArg(m)));
      const int32_t length = truncArg(m);
      const bool equal = length <= 0 || platform::equalMemory(a, b, static_cast<size_t>(length));
      s.pushNumber(equal ? -1 : 0);
      return;
    }
    default:
      raise("Function not available in this build (function " + std::to_string(code) + ")");
  }
}

}  // namespace kestrel
