#pragma once
// The console on a terminal. The screen model is kept in every case; when
// standard output is a terminal, every change is also drawn there with ANSI
// control sequences, and keys are read from standard input in raw mode
// (entered when a key is first asked for). All output goes through the
// standard-output buffer, so it keeps its order with the standard-output
// statement.
#include <memory>
#include <string>

#include "console/console.h"
#include "console/input_source.h"
#include "console/key_decoder.h"
#include "console/screen_model.h"

namespace kestrel {

struct TerminalSettings {
  bool ansi = false;          // draw with control sequences
  bool unicode = true;        // the terminal takes UTF-8: bytes show as the console's glyphs
  bool readInput = true;      // keys and lines come from `inputFd`
  int inputFd = 0;
};

// The settings for this process: control sequences when standard output is
// a terminal, UTF-8 unless the locale names another character set.
TerminalSettings detectTerminalSettings(bool readInput);

class TerminalConsole : public Console {
 public:
  TerminalConsole(StdOutput& out, const TerminalSettings& settings);
  ~TerminalConsole() override;

  void write(std::string_view text) override;
  void lineEnd() override;
  void setForeground(int colour) override;
  void setBackground(int colour) override;
  void gotoXY(int column, int row) override;
  int column() override { return model_.cursorColumn() + 1; }
  int row() override { return model_.cursorRow() + 1; }
  void setCursorSize(int percent) override;
  void clear() override;
  void setTitle(std::string_view title) override;

  void saveScreen(int page) override { model_.saveScreen(page); }
  void copyPage(int from, int to) override;
  void pokeScreen(int offset, int value) override;
  void pokePage(int page, int offset, int value) override { model_.pokePage(page, offset, value); }
  int peekScreen(int offset) override { return model_.peekScreen(offset); }
  int peekPage(int page, int offset) override { return model_.peekPage(page, offset); }
  void printToPage(int page, std::string_view text) override { model_.printToPage(page, text); }
  void pageLineEnd(int) override { model_.pageLineEnd(); }

  bool keyPressed() override;
  int readKey() override;
  void setKeyMode(int mode) override { keyMode_ = mode; }
  std::string readLine() override;
  std::string readInput(int count) override;
  void noteStandardOutput(std::string_view text) override { model_.write(text); }

  int attribute() const override { return model_.attribute(); }
  int inputHandle() const override { return kConsoleInputHandle; }
  int outputHandle() const override { return kConsoleOutputHandle; }
  void restore() override;

  const ScreenModel& model() const { return model_; }

 private:
  bool nextKey(bool take, KeyEvent* key);
  void beginKeys();
  void useAttribute(uint16_t attr);
  void appendGlyph(std::string& out, uint8_t byte) const;
  void drawCells(int first, int last);
  void placeCursor();
  void emit(std::string_view bytes);
  void done();
  std::string resetSequence() const;
  void updateReset();

  StdOutput& out_;
  TerminalSettings settings_;
  ScreenModel model_;
  InputSource input_;
  int keyMode_ = 0;
  // What the terminal shows now, as far as the console changed it.
  int shownAttribute_ = ScreenModel::kStartAttribute;
  bool cursorHidden_ = false;
  bool cursorShaped_ = false;
  bool titlePushed_ = false;
};

}  // namespace kestrel
