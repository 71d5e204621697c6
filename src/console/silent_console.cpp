// The console of a windowed program: no screen, no keys, no lines.
#include "console/console.h"
#include "console/input_source.h"

namespace kestrel {

namespace {

class SilentConsole : public Console {
 public:
  explicit SilentConsole(bool readInput) : readInput_(readInput), input_(0) {}
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
  std::string readInput(int count) override {
    if (!readInput_ || count <= 0) return {};
    return input_.readSome(static_cast<size_t>(count));
  }
  void noteStandardOutput(std::string_view) override {}
  int attribute() const override { return 7; }
  int inputHandle() const override { return 0; }
  int outputHandle() const override { return 0; }
  void restore() override {}

 private:
  bool readInput_;
  InputSource input_;
};

}  // namespace

std::unique_ptr<Console> makeSilentConsole(bool readInput) { return std::make_unique<SilentConsole>(readInput); }

}  // namespace kestrel
