#include "console/screen_model.h"

#include <algorithm>

namespace kestrel {

namespace {
constexpr ConsoleCell blank(uint16_t attr) { return ConsoleCell{' ', attr}; }
// The page position saturates far outside the page instead of overflowing.
constexpr int64_t kPositionLimit = int64_t{1} << 40;
}  // namespace

ScreenModel::ScreenModel() : pages_(kPages) {
  screen_.fill(blank(kStartAttribute));
  for (Page& page : pages_) page.fill(ConsoleCell{});
}

void ScreenModel::setForeground(int colour) {
  attribute_ = static_cast<uint16_t>((static_cast<unsigned>(colour) & 15) | (attribute_ & 240));
}

void ScreenModel::setBackground(int colour) {
  attribute_ = static_cast<uint16_t>((static_cast<unsigned>(colour) << 4) | (attribute_ & 15));
}

bool ScreenModel::moveTo(int64_t column, int64_t row) {
  pageColumn_ = std::clamp(column, -kPositionLimit, kPositionLimit);
  pageRow_ = std::clamp(row, -kPositionLimit, kPositionLimit);
  if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return false;
  column_ = static_cast<int>(column);
  row_ = static_cast<int>(row);
  return true;
}

void ScreenModel::nextLine() {
  column_ = 0;
  if (row_ + 1 < kRows) {
    ++row_;
    return;
  }
  std::copy(screen_.begin() + kColumns, screen_.end(), screen_.begin());
  std::fill(screen_.end() - kColumns, screen_.end(), blank(attribute_));
}

void ScreenModel::put(uint8_t byte) {
  switch (byte) {
    case 7: return;
    case 8:
      if (column_ > 0) --column_;
      return;
    case 9: {
      const int spaces = kTabWidth - column_ % kTabWidth;
      for (int i = 0; i < spaces; ++i) put(' ');
      return;
    }
    case 10: nextLine(); return;
    case 13: column_ = 0; return;
    default: break;
  }
  screen_[static_cast<size_t>(row_ * kColumns + column_)] = ConsoleCell{byte, attribute_};
  if (++column_ == kColumns) nextLine();
}

void ScreenModel::write(std::string_view text) {
  for (char c : text) put(static_cast<uint8_t>(c));
}

void ScreenModel::lineEnd() { nextLine(); }

void ScreenModel::clear() {
  screen_.fill(blank(attribute_));
  moveTo(0, 0);
}

void ScreenModel::pokeCell(ConsoleCell& cell, int offset, int value) {
  if (offset % 2 == 0) cell.ch = static_cast<uint8_t>(value);
  else cell.attr = static_cast<uint16_t>(value);
}

int ScreenModel::peekCell(const ConsoleCell& cell, int offset) {
  return offset % 2 == 0 ? cell.ch : cell.attr;
}

int ScreenModel::pokeScreen(int offset, int value) {
  if (!validOffset(offset) || offset / 2 >= kScreenCells) return -1;
  pokeCell(screen_[static_cast<size_t>(offset / 2)], offset, value);
  return offset / 2;
}

int ScreenModel::peekScreen(int offset) const {
  if (!validOffset(offset) || offset / 2 >= kScreenCells) return 0;
  return peekCell(screen_[static_cast<size_t>(offset / 2)], offset);
}

bool ScreenModel::pokePage(int page, int offset, int value) {
  if (!validPage(page) || !validOffset(offset)) return false;
  pokeCell(pages_[static_cast<size_t>(page)][static_cast<size_t>(offset / 2)], offset, value);
  return true;
}

int ScreenModel::peekPage(int page, int offset) const {
  if (!validPage(page) || !validOffset(offset)) return 0;
  return peekCell(pages_[static_cast<size_t>(page)][static_cast<size_t>(offset / 2)], offset);
}

bool ScreenModel::saveScreen(int page) {
  if (!validPage(page)) return false;
  std::copy(screen_.begin(), screen_.end(), pages_[static_cast<size_t>(page)].begin());
  return true;
}

bool ScreenModel::copyPage(int from, int to) {
  if (!validPage(from) || !validPage(to)) return false;
  const Page& source = pages_[static_cast<size_t>(from)];
  if (to != 0) {
    pages_[static_cast<size_t>(to)] = source;
    return false;
  }
  std::copy(source.begin(), source.begin() + kScreenCells, screen_.begin());
  return true;
}

void ScreenModel::printToPage(int page, std::string_view text) {
  const int64_t start = pageRow_ * kColumns + pageColumn_;
  if (validPage(page)) {
    Page& cells = pages_[static_cast<size_t>(page)];
    // Only the part of the text that lands inside the page is written.
    const int64_t first = std::max<int64_t>(0, -start);
    const int64_t last = std::min<int64_t>(static_cast<int64_t>(text.size()), kScreenCells - start);
    for (int64_t i = first; i < last; ++i)
      cells[static_cast<size_t>(start + i)] = ConsoleCell{static_cast<uint8_t>(text[static_cast<size_t>(i)]), attribute_};
  }
  pageColumn_ = std::min(pageColumn_ + static_cast<int64_t>(text.size()), kPositionLimit);
}

void ScreenModel::pageLineEnd() {
  pageColumn_ = 0;
  pageRow_ = std::min(pageRow_ + 1, kPositionLimit);
}

}  // namespace kestrel
