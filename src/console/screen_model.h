#pragma once
// The console's text model: the 80 x 25 screen as the program drew it, the
// cursor, the colour attribute, the page position and the eight page
// buffers. It is kept whether or not a terminal shows it, so that reading
// the screen, pokes and page copies behave the same when output goes to a
// file or a pipe.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrel {

struct ConsoleCell {
  uint8_t ch = 0;
  uint16_t attr = 0;  // low 4 bits foreground, next 4 bits background
  bool operator==(const ConsoleCell&) const = default;
};

class ScreenModel {
 public:
  static constexpr int kColumns = 80;
  static constexpr int kRows = 25;
  static constexpr int kScreenCells = kColumns * kRows;
  // A page buffer holds one cell more than the screen: offset 4000 names it.
  static constexpr int kPageCells = kScreenCells + 1;
  static constexpr int kPages = 8;
  static constexpr int kLastOffset = 4000;
  static constexpr uint16_t kStartAttribute = 7;
  static constexpr int kTabWidth = 8;

  ScreenModel();

  uint16_t attribute() const { return attribute_; }
  void setForeground(int colour);
  void setBackground(int colour);

  // The cursor, 0-based. A move outside the screen leaves the cursor where
  // it is and returns false; the page position takes the values either way.
  int cursorColumn() const { return column_; }
  int cursorRow() const { return row_; }
  bool moveTo(int64_t column, int64_t row);

  // Text at the cursor in the current attribute, as the console shows it:
  // CR returns, LF starts the next line, BS steps back, TAB fills spaces to
  // the next multiple of 8, BEL shows nothing, every other byte is a glyph.
  // Writing wraps at the right edge and scrolls at the bottom.
  void write(std::string_view text);
  void put(uint8_t byte);
  void lineEnd();
  // Spaces in the current attribute everywhere; cursor and page position home.
  void clear();

  // Cells by offset: 2 bytes a cell, row-major; an even offset names the
  // character, an odd one the attribute. Offsets outside 0 to 4000 and pages
  // outside 0 to 7 name nothing: pokes do nothing and peeks give 0. The
  // screen has no cell at offset 4000; a page buffer has.
  // Returns the index of the screen cell that changed, or -1.
  int pokeScreen(int offset, int value);
  int peekScreen(int offset) const;
  bool pokePage(int page, int offset, int value);
  int peekPage(int page, int offset) const;

  // The screen into buffer `page`.
  bool saveScreen(int page);
  // Buffer `from` into buffer `to`; `to` = 0 puts buffer `from` on the
  // screen instead. Returns true when the screen changed.
  bool copyPage(int from, int to);

  // Each byte into buffer `page` at page row * 80 + page column + i, in the
  // current attribute; no wrapping or scrolling. Bytes that fall outside the
  // page's 2000 cells are dropped. The page column advances by the length.
  void printToPage(int page, std::string_view text);
  void pageLineEnd();
  int64_t pageColumn() const { return pageColumn_; }
  int64_t pageRow() const { return pageRow_; }

  const ConsoleCell& screenCell(int index) const { return screen_[static_cast<size_t>(index)]; }
  const ConsoleCell& pageCell(int page, int index) const {
    return pages_[static_cast<size_t>(page)][static_cast<size_t>(index)];
  }

 private:
  using Page = std::array<ConsoleCell, kPageCells>;
  static bool validPage(int page) { return page >= 0 && page < kPages; }
  static bool validOffset(int offset) { return offset >= 0 && offset <= kLastOffset; }
  static void pokeCell(ConsoleCell& cell, int offset, int value);
  static int peekCell(const ConsoleCell& cell, int offset);
  void nextLine();

  uint16_t attribute_ = kStartAttribute;
  int column_ = 0;
  int row_ = 0;
  int64_t pageColumn_ = 0;
  int64_t pageRow_ = 0;
  std::array<ConsoleCell, kScreenCells> screen_;
  std::vector<Page> pages_;
};

}  // namespace kestrel
