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

class Console {
 public:
  virtual ~Console() = default;

  virtual void write(std::string_view text) = 0;  // at the cursor, current colours
  virtual void lineEnd() = 0;
  virtual void setForeground(int colour) = 0;
  virtual void setBackground(int colour) = 0;
  virtual void gotoXY(int column, int row) = 0;  // 1-based
  virtual int column() = 0;                      // 1-based
  virtual int row() = 0;                         // 1-based
  virtual void setCursorSize(int percent) = 0;   // below 1 hides the cursor
  virtual void clear() = 0;
  virtual void setTitle(std::string_view title) = 0;

  virtual void saveScreen(int page) = 0;             // screen into buffer `page`
  virtual void copyPage(int from, int to) = 0;       // to = 0 shows buffer `from`
  virtual void pokeScreen(int offset, int value) = 0;
  virtual void pokePage(int page, int offset, int value) = 0;
  virtual int peekScreen(int offset) = 0;
  virtual int peekPage(int page, int offset) = 0;
  virtual void printToPage(int page, std::string_view text) = 0;
  virtual void pageLineEnd(int page) = 0;

  virtual bool keyPressed() = 0;
  virtual int readKey() = 0;
  virtual void setKeyMode(int mode) = 0;
  virtual std::string readLine() = 0;

  virtual int attribute() const = 0;
  // Puts the terminal back as it was found (every exit path calls this).
  virtual void restore() = 0;
};

// Writes text and line ends to standard output; ignores screen control.
std::unique_ptr<Console> makePlainConsole(StdOutput& out);
// Has no visible effect at all (windowed programs).
std::unique_ptr<Console> makeSilentConsole();

}  // namespace kestrel
