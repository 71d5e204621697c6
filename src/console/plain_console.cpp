#include <iostream>

#include "console/console.h"
#include "console/std_output.h"

namespace kestrel {

namespace {

class SilentConsole : public Console {
 public:
  void write(std::string_view) override {}
  void lineEnd() override {}
  void setForeground(int) override {}
  void setBackground(int) override {}
  void gotoXY(int, int) override {}
  int column() override { return 1; }
  int row() override { return 1; }
  void setCursorSize(int) override {}
  void clear() override {}
  void setTitle(std::string_view) override {}
  void saveScreen(int) override {}
  void copyPage(int, int) override {}
  void pokeScreen(int, int) override {}
  void pokePage(int, int, int) override {}
  int peekScreen(int) override { return 0; }
  int peekPage(int, int) override { return 0; }
  void printToPage(int, std::string_view) override {}
  void pageLineEnd(int) override {}
  bool keyPressed() override { return false; }
  int readKey() override { return 0; }
  void setKeyMode(int) override {}
  std::string readLine() override { return {}; }
  int attribute() const override { return 7; }
  void restore() override {}
};

class PlainConsole : public SilentConsole {
 public:
  explicit PlainConsole(StdOutput& out) : out_(out) {}
  void write(std::string_view text) override { out_.write(text); }
  void lineEnd() override { out_.put('\n'); }  // the terminal turns it into CR LF
  std::string readLine() override {
    out_.flush();
    std::string line;
    std::getline(std::cin, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }

 private:
  StdOutput& out_;
};

}  // namespace

std::unique_ptr<Console> makePlainConsole(StdOutput& out) { return std::make_unique<PlainConsole>(out); }
std::unique_ptr<Console> makeSilentConsole() { return std::make_unique<SilentConsole>(); }

}  // namespace kestrel
