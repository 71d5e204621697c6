#pragma once
// The console unit as the statements and built-in functions see it: a text
// screen with colours, a cursor, eight 80 x 25 page buffers, key reading and
// line input. Implementations: a terminal driver and a silent one for
// windowed programs.
#include <memory>
#include <string>
#include <string_view>

namespace kestrel {

class StdOutput;

// The handle numbers the console functions report for the console's input
// and output (nonzero, as handles are; windowed programs have none: 0).
inline constexpr int kConsoleInputHandle = 3;
inline constexpr int kConsoleOutputHandle = 7;

class Console {
 public:
  virtual ~Console() = default;

  virtual void write(std::string_view text) = 0;  // at the cursor, current colours
  virtual void lineEnd() = 0;
  virtual void setForeground(int colour) = 0;
  virtual void setBackground(int colour) = 0;
  virtual void gotoXY(int column, int row) = 0;  // 1-based; also sets the page position
  virtual int column() = 0;                      // 1-based
  virtual int row() = 0;                         // 1-based
  virtual void setCursorSize(int percent) = 0;   // below 1 hides the cursor
  virtual void clear() = 0;
  virtual void setTitle(std::string_view title) = 0;

  // Pages are 0 to 7 and offsets 0 to 4000; anything else is ignored (peeks give 0).
  virtual void saveScreen(int page) = 0;             // screen into buffer `page`
  virtual void copyPage(int from, int to) = 0;       // to = 0 shows buffer `from`
  virtual void pokeScreen(int offset, int value) = 0;
  virtual void pokePage(int page, int offset, int value) = 0;
  virtual int peekScreen(int offset) = 0;
  virtual int peekPage(int page, int offset) = 0;
  virtual void printToPage(int page, std::string_view text) = 0;
  virtual void pageLineEnd(int page) = 0;

  // Key reading never waits: readKey gives 0 when no key is there, else the
  // character code or the negated scan code of a key without one.
  virtual bool keyPressed() = 0;
  virtual int readKey() = 0;
  virtual void setKeyMode(int mode) = 0;
  // One line of standard input without its line end (waits for it).
  virtual std::string readLine() = 0;
  // Up to `count` bytes of standard input in one read (waits for input).
  virtual std::string readInput(int count) = 0;
  // Text the standard-output statement wrote: on a console it lands on the
  // same screen, so the screen model follows it. Nothing is written.
  virtual void noteStandardOutput(std::string_view text) = 0;

  virtual int attribute() const = 0;
  virtual int inputHandle() const = 0;
  virtual int outputHandle() const = 0;
  // Puts the terminal back as it was found (every exit path calls this; so
  // may anything that hands the terminal to another program). The next key
  // read or coloured output takes it again.
  virtual void restore() = 0;
};

// The console on the process's standard input and output: control sequences
// when standard output is a terminal, plain bytes otherwise. With
// `readInput` false (the sandbox) it never reads standard input.
std::unique_ptr<Console> makeTerminalConsole(StdOutput& out, bool readInput);
// Has no visible effect at all (windowed programs); standard input can still
// be read raw when `readInput` is set.
std::unique_ptr<Console> makeSilentConsole(bool readInput);

}  // namespace kestrel
