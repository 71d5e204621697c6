// The console: the screen model and pages, key translation, and what the
// terminal console writes to a terminal and to a file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "console/key_decoder.h"
#include "console/screen_model.h"
#include "console/std_output.h"
#include "console/terminal_console.h"

using namespace kestrel;

namespace {

std::string rowText(const ScreenModel& s, int row, int from, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += static_cast<char>(s.screenCell(row * 80 + from + i).ch);
  return out;
}

}  // namespace

TEST(ScreenModel, ColoursCombineIntoTheAttribute) {
  ScreenModel s;
  EXPECT_EQ(s.attribute(), 7);
  s.setBackground(1);
  EXPECT_EQ(s.attribute(), 23);
  s.setForeground(14);
  EXPECT_EQ(s.attribute(), 30);  // the background stays
  s.setForeground(0x1F2);        // only the low 4 bits
  EXPECT_EQ(s.attribute(), 18);
  s.setBackground(17);  // not masked: the bits above the background go in too
  EXPECT_EQ(s.attribute(), 0x112);
  s.setForeground(3);  // and a foreground change drops them again
  EXPECT_EQ(s.attribute(), 0x13);
  s.setBackground(-1);
  EXPECT_EQ(s.attribute(), 0xFFF3);
}

TEST(ScreenModel, TextWrapsScrollsAndObeysControlBytes) {
  ScreenModel s;
  s.setBackground(1);
  s.write("ab\tc");
  EXPECT_EQ(rowText(s, 0, 0, 9), "ab      c");
  EXPECT_EQ(s.cursorColumn(), 9);
  s.write("\rX\x08Y\x07");
  EXPECT_EQ(rowText(s, 0, 0, 2), "Yb");
  EXPECT_EQ(s.cursorColumn(), 1);
  EXPECT_EQ(s.screenCell(0).attr, 23);

  ASSERT_TRUE(s.moveTo(78, 0));
  s.write("123");  // wraps at the right edge
  EXPECT_EQ(rowText(s, 0, 78, 2), "12");
  EXPECT_EQ(rowText(s, 1, 0, 1), "3");
  EXPECT_EQ(s.cursorRow(), 1);

  ASSERT_TRUE(s.moveTo(0, 24));
  s.write("last\n");  // scrolls: row 1 becomes row 0
  EXPECT_EQ(rowText(s, 0, 0, 1), "3");
  EXPECT_EQ(rowText(s, 23, 0, 4), "last");
  EXPECT_EQ(s.screenCell(24 * 80).attr, 23);  // the new row in the current colours
  EXPECT_EQ(s.cursorRow(), 24);
  EXPECT_EQ(s.cursorColumn(), 0);

  ASSERT_TRUE(s.moveTo(0, 24));
  s.write(std::string(80, 'z'));  // the 80th character moves to a new line at once
  EXPECT_EQ(rowText(s, 23, 0, 3), "zzz");
  EXPECT_EQ(s.cursorRow(), 24);
  EXPECT_EQ(s.cursorColumn(), 0);
}

TEST(ScreenModel, MovesOutsideTheScreenKeepTheCursorButSetThePagePosition) {
  ScreenModel s;
  ASSERT_TRUE(s.moveTo(10, 3));
  EXPECT_FALSE(s.moveTo(80, 3));
  EXPECT_FALSE(s.moveTo(-1, 0));
  EXPECT_EQ(s.cursorColumn(), 10);
  EXPECT_EQ(s.pageColumn(), -1);
  EXPECT_FALSE(s.moveTo(INT64_MAX / 2, INT64_MIN / 2));  // saturates, no overflow
  s.printToPage(1, "abc");
  s.pageLineEnd();
  EXPECT_EQ(s.pageColumn(), 0);
}

TEST(ScreenModel, PagesAndPokesStayInsideTheirBuffers) {
  ScreenModel s;
  s.moveTo(78, 24);
  s.printToPage(2, "XYZ");  // cut at the page's last cell
  EXPECT_EQ(s.peekPage(2, 3998), 'Y');
  EXPECT_EQ(s.peekPage(2, 4000), 0);
  EXPECT_EQ(s.pageColumn(), 81);
  s.moveTo(-2, 0);  // starts before the page: the part inside lands
  s.printToPage(4, "abc");
  EXPECT_EQ(s.peekPage(4, 0), 'c');
  s.moveTo(0, 1000000);
  s.printToPage(5, std::string(5000, 'q'));
  for (int offset = 0; offset <= 4000; offset += 2) ASSERT_EQ(s.peekPage(5, offset), 0);

  EXPECT_EQ(s.pokeScreen(1, 0x12345), 0);  // attribute: 16 bits
  EXPECT_EQ(s.peekScreen(1), 0x2345);
  EXPECT_EQ(s.pokeScreen(3998, 0x141), 1999);  // character: 8 bits
  EXPECT_EQ(s.peekScreen(3998), 0x41);
  for (int offset : {4000, 4001, -1, INT32_MIN}) {  // the screen has no cell 2000
    EXPECT_EQ(s.pokeScreen(offset, 1), -1) << offset;
    EXPECT_EQ(s.peekScreen(offset), 0) << offset;
  }
  for (int offset : {4001, -1, INT32_MIN}) EXPECT_FALSE(s.pokePage(1, offset, 1)) << offset;
  EXPECT_TRUE(s.pokePage(7, 4000, 'Z'));  // a page has it
  EXPECT_EQ(s.peekPage(7, 4000), 'Z');
  for (int page : {8, -1}) {
    EXPECT_FALSE(s.pokePage(page, 0, 1));
    EXPECT_EQ(s.peekPage(page, 0), 0);
    EXPECT_FALSE(s.saveScreen(page));
    EXPECT_FALSE(s.copyPage(page, 0));
  }
}

// ---------------------------------------------------------------- keys

TEST(KeyDecoder, TerminalSequencesGiveThePcKeys) {
  const struct {
    const char* bytes;
    int result;
  } kCases[] = {
      {"\x1b[A", -72}, {"\x1b[B", -80}, {"\x1b[D", -75}, {"\x1b[C", -77},
      {"\x1bOA", -72},     // application cursor keys
      {"\x1b[1;5A", -72},  // with Ctrl
      {"\x1b[H", -71}, {"\x1bOF", -79}, {"\x1b[1~", -71}, {"\x1b[4~", -79}, {"\x1b[5~", -73},
      {"\x1b[6~", -81}, {"\x1b[2~", -82}, {"\x1b[3~", -83}, {"\x1b[3;2~", -83},
      {"\x1bOP", -59}, {"\x1bOS", -62}, {"\x1b[1;2P", -59}, {"\x1b[11~", -59}, {"\x1b[15~", -63},
      {"\x1b[17~", -64}, {"\x1b[21~", -68}, {"\x1b[23~", -87}, {"\x1b[24~", -88},
      {"\x1b[[A", -59}, {"\x1b[[E", -63},  // the Linux console's F1 and F5
      {"\x1b[E", -76},                       // the keypad's centre key
      {"a", 'a'}, {"Z", 'Z'}, {"\x1b", 27}, {"\r", 13}, {"\t", 9},
      {"\x1b[Z", 9},                 // Shift+Tab
      {"\x7f", 8}, {"\x08", 8},      // Backspace
      {"\x01", 1},                   // Ctrl+A
      {"\xc3\xa9", 0x82},             // UTF-8 becomes the console's byte
      {"\xe2\x94\x80", 0xC4}, {"\xe2\x82\xac", '?'},
  };
  for (const auto& c : kCases) {
    const std::string_view bytes(c.bytes);
    const KeyDecode d = decodeKey(bytes, true, true);
    ASSERT_EQ(d.kind, KeyDecode::kKey) << bytes;
    EXPECT_EQ(d.length, bytes.size()) << bytes;
    EXPECT_EQ(keyResult(d.key, 0), c.result) << bytes;
  }
  EXPECT_EQ(keyResult(decodeKey(std::string_view("\0", 1), true, true).key, 0), -3);  // Ctrl+@
  EXPECT_EQ(decodeKey("a", true, true).key.scan, 30);
  EXPECT_EQ(decodeKey("\x1b", true, true).key.scan, 1);
  EXPECT_EQ(decodeKey("\xc3\xa9", true, false).key.ch, 0xC3);  // without UTF-8: bytes as they come
}

TEST(KeyDecoder, EscapeIsTheEscapeKeyUnlessASequenceFollows) {
  EXPECT_EQ(decodeKey("\x1b", false, true).kind, KeyDecode::kIncomplete);
  EXPECT_EQ(decodeKey("\x1b[", false, true).kind, KeyDecode::kIncomplete);
  EXPECT_EQ(decodeKey("\x1b[1;5", false, true).kind, KeyDecode::kIncomplete);
  EXPECT_EQ(decodeKey("\x1b[[", false, true).kind, KeyDecode::kIncomplete);
  EXPECT_EQ(decodeKey("\xe2\x94", false, true).kind, KeyDecode::kIncomplete);
  // Once nothing more comes, the bytes are the Escape key and keys of their own.
  for (const char* bytes : {"\x1b[1;5", "\x1bx", "\x1b\x1b[A", "\x1b[\x01"}) {
    const KeyDecode d = decodeKey(bytes, true, true);
    EXPECT_EQ(d.length, 1u) << bytes;
    EXPECT_EQ(d.key.ch, 27) << bytes;
  }
  // Sequences that are no key are skipped whole.
  const KeyDecode focus = decodeKey("\x1b[Ix", false, true);
  EXPECT_EQ(focus.kind, KeyDecode::kOther);
  EXPECT_EQ(focus.length, 3u);
  EXPECT_EQ(decodeKey("\x1b[<0;3;4M", false, true).length, 9u);
  EXPECT_EQ(decodeKey("\x1b[99~", false, true).kind, KeyDecode::kOther);
  EXPECT_EQ(decodeKey(std::string("\x1b[") + std::string(40, '1'), false, true).kind, KeyDecode::kOther);
}

TEST(KeyDecoder, KeyModeDecidesForModifierKeysWithoutACharacter) {
  const KeyEvent shift{0, 42, kKeyShift};
  EXPECT_EQ(keyResult(shift, 0), 0);
  EXPECT_EQ(keyResult(shift, 1), -42);
  for (int scan : {29, 42, 54, 56, 58, 69, 70}) EXPECT_EQ(keyResult(KeyEvent{0, scan, kKeyLeftCtrl}, 0), 0);
  EXPECT_EQ(keyResult(KeyEvent{0, 59, kKeyShift}, 0), -59);  // Shift+F1
  EXPECT_EQ(keyResult(KeyEvent{'A', 30, kKeyShift}, 0), 'A');
  // With no control-key state a key without a character gives its scan code,
  // even a modifier's.
  EXPECT_EQ(keyResult(KeyEvent{0, 42, 0}, 0), -42);
  // A grey key alone gives its scan code even when it has a character.
  EXPECT_EQ(keyResult(KeyEvent{13, 28, kKeyEnhanced}, 0), -28);
  EXPECT_EQ(keyResult(KeyEvent{13, 28, kKeyEnhanced | kKeyShift}, 0), 13);

  EXPECT_EQ(keyText(0), "");
  EXPECT_EQ(keyText('q'), "q");
  EXPECT_EQ(keyText(-72), "\x1bH");
  EXPECT_EQ(keyText(200), "\xc8");
}

// ---------------------------------------------------------------- terminal console

namespace {

class TerminalConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(pipe(keys_), 0);
    out_.captureInto(&sink_);
  }
  void TearDown() override {
    close(keys_[0]);
    if (keys_[1] >= 0) close(keys_[1]);
  }
  std::unique_ptr<TerminalConsole> make(bool ansi) {
    TerminalSettings s;
    s.ansi = ansi;
    s.unicode = true;
    s.readInput = true;
    s.inputFd = keys_[0];
    return std::make_unique<TerminalConsole>(out_, s);
  }
  void type(std::string_view bytes) { ASSERT_EQ(::write(keys_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
  void endInput() {
    close(keys_[1]);
    keys_[1] = -1;
  }
  std::string taken() {
    out_.flush();
    std::string s;
    s.swap(sink_);
    return s;
  }

  int keys_[2] = {-1, -1};
  std::string sink_;
  StdOutput out_;
};

}  // namespace

TEST_F(TerminalConsoleTest, DrawsColoursAndGlyphsOnATerminal) {
  auto c = make(true);
  c->write("plain");
  EXPECT_EQ(taken(), "plain");  // the start attribute is the terminal's own colours
  c->setForeground(14);
  c->setBackground(1);
  c->write("A\xc4\x1b[2J");
  // Yellow on blue; the byte 0xC4 is a box line; an ESC byte in the text
  // shows as its glyph and drives nothing.
  EXPECT_EQ(taken(), "\x1b[0;93;44mA\xe2\x94\x80\xe2\x86\x90[2J");
  c->write("B");
  EXPECT_EQ(taken(), "B");  // colours are sent only when they change
  c->setForeground(7);
  c->setBackground(0);
  c->lineEnd();
  c->write("C");
  EXPECT_EQ(taken(), "\n\x1b[0mC");
  c->setBackground(12);
  c->setForeground(0);
  c->write("D");
  EXPECT_EQ(taken(), "\x1b[0;30;101mD");
}

TEST_F(TerminalConsoleTest, MovesTheCursorClearsAndRedrawsPokedCells) {
  auto c = make(true);
  c->gotoXY(10, 5);
  EXPECT_EQ(taken(), "\x1b[5;10H");
  c->gotoXY(81, 5);  // off the screen: nothing moves
  EXPECT_EQ(taken(), "");
  EXPECT_EQ(c->column(), 10);
  c->write("\tx");
  EXPECT_EQ(taken(), "       x");  // a tab is the spaces it fills
  c->pokeScreen(2 * 81 + 1, 0x1E);  // attribute of row 2, column 2
  EXPECT_EQ(taken(), "\x1b[2;2H\x1b[0;93;44m \x1b[5;18H");
  c->setBackground(4);
  c->clear();
  EXPECT_EQ(taken(), "\x1b[0;37;41m\x1b[2J\x1b[H");
  EXPECT_EQ(c->column(), 1);
  c->pokePage(3, 0, 'P');
  c->copyPage(3, 5);
  EXPECT_EQ(taken(), "");  // between buffers nothing is drawn
  c->copyPage(3, 0);
  const std::string drawn = taken();
  EXPECT_EQ(drawn.substr(0, 17), "\x1b[1;1H\x1b[0;30;40mP");
  EXPECT_NE(drawn.find("\x1b[25;1H"), std::string::npos);
  EXPECT_EQ(drawn.substr(drawn.size() - 6), "\x1b[1;1H");
}

TEST_F(TerminalConsoleTest, TitleCursorAndRestore) {
  auto c = make(true);
  c->setTitle("ab\x07\x1b]c\xe9");
  EXPECT_EQ(taken(), "\x1b[22;0t\x1b]0;ab]c\xce\x98\a");  // control bytes dropped
  c->setCursorSize(0);
  EXPECT_EQ(taken(), "\x1b[?25l");
  c->setForeground(2);
  c->write("x");
  taken();
  c->restore();
  EXPECT_EQ(taken(), "\x1b[0m\x1b[?25h\x1b[23;0t");
  c->restore();
  EXPECT_EQ(taken(), "");
  c->setCursorSize(80);
  EXPECT_EQ(taken(), "\x1b[2 q");
  c.reset();  // the console restores when it goes
  EXPECT_EQ(taken(), "\x1b[0 q");
}

TEST_F(TerminalConsoleTest, WritesPlainBytesWhenOutputIsNoTerminal) {
  auto c = make(false);
  c->setTitle("t");
  c->setForeground(4);
  c->setCursorSize(0);
  c->gotoXY(3, 3);
  c->clear();
  c->write("a\xc4\x1b\tb");
  c->lineEnd();
  c->pokeScreen(0, 'Q');
  c->copyPage(1, 0);
  c->restore();
  EXPECT_EQ(taken(), "a\xc4\x1b\tb\n");
  EXPECT_EQ(c->peekScreen(0), 0);  // the model is kept all the same: page 1 was empty
}

TEST_F(TerminalConsoleTest, ReadsKeysLinesAndRawInputFromOnePlace) {
  auto c = make(false);
  EXPECT_FALSE(c->keyPressed());
  EXPECT_EQ(c->readKey(), 0);
  type("\x1b[A");
  EXPECT_TRUE(c->keyPressed());
  EXPECT_TRUE(c->keyPressed());  // looking does not take it
  EXPECT_EQ(c->readKey(), -72);
  // An Escape byte waits briefly for the rest of its sequence.
  type("\x1b");
  EXPECT_EQ(c->readKey(), 27);
  type("q\x1b[I");
  EXPECT_EQ(c->readKey(), 'q');
  EXPECT_FALSE(c->keyPressed());  // a sequence that is no key is dropped
  type("hello\r\nworld");
  EXPECT_EQ(c->readLine(), "hello");
  EXPECT_EQ(c->readInput(3), "wor");
  endInput();
  EXPECT_EQ(c->readLine(), "ld");
  EXPECT_EQ(c->readLine(), "");
  EXPECT_EQ(c->readKey(), 0);
  EXPECT_EQ(c->readInput(5), "");
}
