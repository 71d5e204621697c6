#include "console/terminal_console.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>

#include "console/oem_glyphs.h"
#include "console/std_output.h"
#include "console/terminal_state.h"

namespace kestrel {

namespace {

constexpr uint8_t kPlainAttribute = 7;  // shown as the terminal's own colours
// The bytes of one escape sequence arrive together; a lone Escape byte is
// the Escape key once nothing has followed it for this long.
constexpr int kSequenceWaitMs = 40;
// Reading ahead stops here, so a long piped input is not held in memory.
constexpr size_t kReadAhead = 64;
constexpr size_t kLongestTitle = 1024;

// ANSI colour numbers run red, green, blue in bit order; the console's run
// blue, green, red.
int ansiColour(int consoleColour) {
  return ((consoleColour & 1) << 2) | (consoleColour & 2) | ((consoleColour & 4) >> 2);
}

std::string sgrFor(int attr) {
  if (attr == kPlainAttribute) return "\x1b[0m";
  const int fg = ((attr & 8) ? 90 : 30) + ansiColour(attr & 7);
  const int bg = ((attr & 128) ? 100 : 40) + ansiColour((attr >> 4) & 7);
  return "\x1b[0;" + std::to_string(fg) + ";" + std::to_string(bg) + "m";
}

std::string cursorAt(int column, int row) {
  return "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
}

bool localeTakesUtf8() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    std::string v(value);
    for (char& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (v.find("utf-8") != std::string::npos || v.find("utf8") != std::string::npos) return true;
    // The C locale says nothing about the terminal, and terminals take UTF-8.
    return v == "c" || v == "posix" || v.rfind("c.", 0) == 0;
  }
  return true;
}

}  // namespace

TerminalSettings detectTerminalSettings(bool readInput) {
  TerminalSettings s;
  s.ansi = isatty(STDOUT_FILENO) != 0;
  s.unicode = localeTakesUtf8();
  s.readInput = readInput;
  s.inputFd = STDIN_FILENO;
  return s;
}

std::unique_ptr<Console> makeTerminalConsole(StdOutput& out, bool readInput) {
  return std::make_unique<TerminalConsole>(out, detectTerminalSettings(readInput));
}

TerminalConsole::TerminalConsole(StdOutput& out, const TerminalSettings& settings)
    : out_(out), settings_(settings), input_(settings.inputFd) {}

TerminalConsole::~TerminalConsole() { restore(); }

void TerminalConsole::emit(std::string_view bytes) { out_.write(bytes); }

// A terminal shows what the program drew at once; a file or pipe can wait.
void TerminalConsole::done() {
  if (settings_.ansi) out_.flush();
}

// The bytes that undo what the console changed on the terminal's output.
std::string TerminalConsole::resetSequence() const {
  std::string reset;
  if (shownAttribute_ != kPlainAttribute) reset += "\x1b[0m";
  if (cursorHidden_) reset += "\x1b[?25h";
  if (cursorShaped_) reset += "\x1b[0 q";
  if (titlePushed_) reset += "\x1b[23;0t";
  return reset;
}

void TerminalConsole::updateReset() { terminal::setOutputReset(resetSequence()); }

void TerminalConsole::useAttribute(uint16_t attr) {
  const int shown = attr & 0xFF;
  if (!settings_.ansi || shown == shownAttribute_) return;
  shownAttribute_ = shown;
  emit(sgrFor(shown));
  updateReset();
}

void TerminalConsole::appendGlyph(std::string& out, uint8_t byte) const {
  if (byte >= 32 && byte < 127) {
    out += static_cast<char>(byte);
  } else if (settings_.unicode) {
    appendOemGlyph(out, byte);
  } else {
    // Control bytes of either kind would drive the terminal, not show.
    out += byte >= 0xA0 ? static_cast<char>(byte) : '?';
  }
}

void TerminalConsole::write(std::string_view text) {
  if (!settings_.ansi) {
    emit(text);
    model_.write(text);
    return;
  }
  useAttribute(model_.attribute());
  std::string shown;
  shown.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<uint8_t>(c);
    switch (b) {
      case 7: case 8: case 10: case 13: shown += c; break;
      case 9: shown.append(static_cast<size_t>(ScreenModel::kTabWidth - model_.cursorColumn() % ScreenModel::kTabWidth), ' '); break;
      default: appendGlyph(shown, b); break;
    }
    model_.put(b);
  }
  emit(shown);
  done();
}

void TerminalConsole::lineEnd() {
  emit("\n");
  model_.lineEnd();
  done();
}

void TerminalConsole::setForeground(int colour) { model_.setForeground(colour); }
void TerminalConsole::setBackground(int colour) { model_.setBackground(colour); }

void TerminalConsole::placeCursor() { emit(cursorAt(model_.cursorColumn(), model_.cursorRow())); }

void TerminalConsole::gotoXY(int column, int row) {
  if (model_.moveTo(int64_t{column} - 1, int64_t{row} - 1) && settings_.ansi) {
    placeCursor();
    done();
  }
}

void TerminalConsole::setCursorSize(int percent) {
  if (!settings_.ansi) return;
  if (percent < 1) {
    if (!cursorHidden_) emit("\x1b[?25l");
    cursorHidden_ = true;
  } else {
    if (cursorHidden_) emit("\x1b[?25h");
    cursorHidden_ = false;
    emit(percent >= 50 ? "\x1b[2 q" : "\x1b[4 q");  // a block or an underline
    cursorShaped_ = true;
  }
  updateReset();
  done();
}

void TerminalConsole::clear() {
  model_.clear();
  if (!settings_.ansi) return;
  useAttribute(model_.attribute());
  emit("\x1b[2J\x1b[H");
  done();
}

void TerminalConsole::setTitle(std::string_view title) {
  if (!settings_.ansi) return;
  if (!titlePushed_) emit("\x1b[22;0t");  // keep the terminal's own title to put back
  titlePushed_ = true;
  std::string text = "\x1b]0;";
  for (char c : title.substr(0, kLongestTitle)) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 32 && b < 127) text += c;
    else if (b >= 128 && settings_.unicode) appendOemGlyph(text, b);
    else if (b >= 0xA0) text += c;
    // control bytes would end the title early and drive the terminal: dropped
  }
  text += '\a';
  emit(text);
  updateReset();
  done();
}

void TerminalConsole::drawCells(int first, int last) {
  std::string glyph;
  for (int i = first; i <= last; ++i) {
    if (i == first || i % ScreenModel::kColumns == 0)
      emit(cursorAt(i % ScreenModel::kColumns, i / ScreenModel::kColumns));
    const ConsoleCell& cell = model_.screenCell(i);
    useAttribute(cell.attr);
    glyph.clear();
    if (cell.ch == 0) glyph = " ";
    else appendGlyph(glyph, cell.ch);
    emit(glyph);
  }
  placeCursor();
}

void TerminalConsole::copyPage(int from, int to) {
  if (model_.copyPage(from, to) && settings_.ansi) {
    drawCells(0, ScreenModel::kScreenCells - 1);
    done();
  }
}

void TerminalConsole::pokeScreen(int offset, int value) {
  const int cell = model_.pokeScreen(offset, value);
  if (cell >= 0 && settings_.ansi) {
    drawCells(cell, cell);
    done();
  }
}

// The mode changes before the output shows, so that whatever the user types
// in answer to it is read in the right mode.
void TerminalConsole::beginKeys() {
  if (input_.isTerminal()) terminal::enterRawInput(input_.fd());
  out_.flush();  // what the program drew before it looks for a key
}

bool TerminalConsole::nextKey(bool take, KeyEvent* key) {
  if (!settings_.readInput) return false;
  beginKeys();
  const bool utf8 = settings_.unicode && input_.isTerminal();
  if (input_.pending().size() < kReadAhead) input_.fill(0);
  for (;;) {
    if (input_.pending().empty()) return false;
    KeyDecode d = decodeKey(input_.pending(), input_.ended(), utf8);
    if (d.kind == KeyDecode::kIncomplete) {
      if (input_.fill(kSequenceWaitMs)) continue;
      d = decodeKey(input_.pending(), true, utf8);
    }
    if (d.kind == KeyDecode::kOther) {  // no key: dropped
      input_.consume(d.length);
      continue;
    }
    if (take) input_.consume(d.length);
    *key = d.key;
    return true;
  }
}

bool TerminalConsole::keyPressed() {
  KeyEvent key;
  return nextKey(false, &key);
}

int TerminalConsole::readKey() {
  KeyEvent key;
  if (!nextKey(true, &key)) return 0;
  return keyResult(key, keyMode_);
}

std::string TerminalConsole::readLine() {
  if (!settings_.readInput) {
    out_.flush();
    return {};
  }
  // Line editing and echo are the terminal's while a line is typed. What was
  // typed before the switch arrived raw, where Enter is a carriage return.
  const bool wasRaw = terminal::rawInputActive();
  if (wasRaw) {
    input_.fill(0);
    terminal::leaveRawInput();
  }
  out_.flush();
  const bool terminalInput = input_.isTerminal();
  std::string line;
  size_t searched = 0;  // bytes already known to hold no line end: a long line is searched once
  for (;;) {
    const std::string_view pending = input_.pending();
    const size_t end =
        pending.find_first_of(terminalInput ? std::string_view("\r\n") : std::string_view("\n"), searched);
    searched = pending.size();
    if (end != std::string_view::npos) {
      line.assign(pending.substr(0, end));
      const bool pair = pending[end] == '\r' && end + 1 < pending.size() && pending[end + 1] == '\n';
      input_.consume(end + (pair ? 2 : 1));
      break;
    }
    if (!input_.fill(-1)) {  // the input ended: what is there is the last line
      line.assign(input_.pending());
      input_.consume(line.size());
      break;
    }
  }
  if (wasRaw) terminal::enterRawInput(input_.fd());
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (terminalInput) {
    if (settings_.unicode) line = utf8ToOem(line);
    // The terminal echoed the line and the line end.
    model_.write(line);
    model_.lineEnd();
  }
  return line;
}

std::string TerminalConsole::readInput(int count) {
  out_.flush();
  if (!settings_.readInput || count <= 0) return {};
  return input_.readSome(static_cast<size_t>(count));
}

void TerminalConsole::restore() {
  emit(resetSequence());
  out_.flush();
  shownAttribute_ = kPlainAttribute;
  cursorHidden_ = cursorShaped_ = titlePushed_ = false;
  terminal::setOutputReset({});
  terminal::leaveRawInput();
}

}  // namespace kestrel
