#pragma once
// The texts of a string grid's cells, kept only for cells that hold
// something, so that a grid of many empty rows costs nothing. Rows and
// columns are moved by the grid's insert, delete and swap members; the
// grid checks the indices first, this store does not.
#include <cstdint>
#include <map>

#include "state/str.h"

namespace kestrel::objects {

class GridCells {
 public:
  // "" for a cell that holds nothing.
  const Str& at(int32_t column, int32_t row) const;
  // An empty text removes the cell.
  void set(int32_t column, int32_t row, const Str& text);
  void clear() { rows_.clear(); }
  // The number of cells that hold text.
  size_t stored() const;

  // Row `row` goes; rows below it move up one.
  void deleteRow(int32_t row);
  // Rows from `row` on move down one; row `row` is empty.
  void insertRow(int32_t row);
  void deleteColumn(int32_t column);
  void insertColumn(int32_t column);
  void swapRows(int32_t a, int32_t b);
  void swapColumns(int32_t a, int32_t b);
  // Drops every cell at or past these limits (the grid shrank).
  void truncate(int32_t columns, int32_t rows);

 private:
  using Row = std::map<int32_t, Str>;
  static void shiftKeys(Row& row, int32_t from, int32_t by);
  std::map<int32_t, Row> rows_;
};

}  // namespace kestrel::objects
