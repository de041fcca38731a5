#include "results/grid_gestures.h"

#include <algorithm>

namespace trawlbox::results {

void PressCell(ResultGrid& grid, CellPosition cell, bool extend) {
  const CellPosition to = ClampedToEntries(grid, cell);
  static_cast<void>(extend ? grid.SetSelectionEnd(to.row, to.col)
                           : grid.SetCurrent(to.row, to.col));
}

void SelectColumns(ResultGrid& grid, int col, bool extend) {
  const int first_col = extend ? grid.Current().col : col;
  if (grid.SetCurrent(1, first_col)) {
    static_cast<void>(grid.SetSelectionEnd(grid.RowCount() - 1, col));
  }
}

void SelectAllEntries(ResultGrid& grid) {
  if (grid.SetCurrent(1, 0)) {
    static_cast<void>(grid.SetSelectionEnd(grid.RowCount() - 1, grid.ColumnCount() - 1));
  }
}

CellPosition PressKey(ResultGrid& grid, GridKey key, bool extend, bool to_edge, int page_rows) {
  CellPosition to = extend ? grid.SelectionEnd() : grid.Current();
  switch (key) {
    case GridKey::kUp:
      --to.row;
      break;
    case GridKey::kDown:
      ++to.row;
      break;
    case GridKey::kLeft:
      --to.col;
      break;
    case GridKey::kRight:
      ++to.col;
      break;
    case GridKey::kPageUp:
      to.row -= page_rows;
      break;
    case GridKey::kPageDown:
      to.row += page_rows;
      break;
    case GridKey::kHome:
      to.col = 0;
      if (to_edge) to.row = 1;
      break;
    case GridKey::kEnd:
      to.col = grid.ColumnCount() - 1;
      if (to_edge) to.row = grid.RowCount() - 1;
      break;
  }
  to = ClampedToEntries(grid, to);
  PressCell(grid, to, extend);
  return to;
}

CellPosition ClampedToEntries(const ResultGrid& grid, CellPosition cell) {
  return {std::clamp(cell.row, 1, grid.RowCount() - 1),
          std::clamp(cell.col, 0, grid.ColumnCount() - 1)};
}

}  // namespace trawlbox::results
