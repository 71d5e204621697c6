#include "objects/controls/grid_cells.h"

#include <utility>
#include <vector>

namespace kestrel::objects {

namespace {
const Str kEmpty;
}

const Str& GridCells::at(int32_t column, int32_t row) const {
  const auto r = rows_.find(row);
  if (r == rows_.end()) return kEmpty;
  const auto c = r->second.find(column);
  return c == r->second.end() ? kEmpty : c->second;
}

void GridCells::set(int32_t column, int32_t row, const Str& text) {
  if (text.empty()) {
    const auto r = rows_.find(row);
    if (r == rows_.end()) return;
    r->second.erase(column);
    if (r->second.empty()) rows_.erase(r);
    return;
  }
  rows_[row][column] = text;
}

size_t GridCells::stored() const {
  size_t n = 0;
  for (const auto& [index, row] : rows_) n += row.size();
  return n;
}

// Moves the entries with keys >= `from` by `by` (+1 or -1), keeping the
// order: nodes are taken out and put back with their new keys.
template <class Map>
static void shift(Map& map, int32_t from, int32_t by) {
  std::vector<typename Map::node_type> moved;
  for (auto it = map.lower_bound(from); it != map.end();) moved.push_back(map.extract(it++));
  for (auto& node : moved) {
    node.key() += by;
    map.insert(std::move(node));
  }
}

void GridCells::shiftKeys(Row& row, int32_t from, int32_t by) { shift(row, from, by); }

void GridCells::deleteRow(int32_t row) {
  rows_.erase(row);
  shift(rows_, row + 1, -1);
}

void GridCells::insertRow(int32_t row) { shift(rows_, row, 1); }

void GridCells::deleteColumn(int32_t column) {
  for (auto it = rows_.begin(); it != rows_.end();) {
    it->second.erase(column);
    shiftKeys(it->second, column + 1, -1);
    it = it->second.empty() ? rows_.erase(it) : std::next(it);
  }
}

void GridCells::insertColumn(int32_t column) {
  for (auto& [index, row] : rows_) shiftKeys(row, column, 1);
}

void GridCells::swapRows(int32_t a, int32_t b) {
  if (a == b) return;
  auto first = rows_.extract(a);
  auto second = rows_.extract(b);
  if (!first.empty()) {
    first.key() = b;
    rows_.insert(std::move(first));
  }
  if (!second.empty()) {
    second.key() = a;
    rows_.insert(std::move(second));
  }
}

void GridCells::swapColumns(int32_t a, int32_t b) {
  if (a == b) return;
  for (auto& [index, row] : rows_) {
    auto first = row.extract(a);
    auto second = row.extract(b);
    if (!first.empty()) {
      first.key() = b;
      row.insert(std::move(first));
    }
    if (!second.empty()) {
      second.key() = a;
      row.insert(std::move(second));
    }
  }
}

void GridCells::truncate(int32_t columns, int32_t rows) {
  rows_.erase(rows_.lower_bound(rows), rows_.end());
  for (auto it = rows_.begin(); it != rows_.end();) {
    it->second.erase(it->second.lower_bound(columns), it->second.end());
    it = it->second.empty() ? rows_.erase(it) : std::next(it);
  }
}

}  // namespace kestrel::objects
