#pragma once

#include <windows.h>

#include <optional>

#include "results/result_grid.h"

namespace trawlbox::app::win32 {

// Where a report-view list that shows a ResultGrid (list item i is grid row i + 1, subitem c is
// column c, in the grid's column order) puts the grid's cells, in the list's client coordinates.
// The list view's own hit tests and subitem rectangles treat the first column apart (its label
// starts past an icon indent, its bounds span the whole row), so cells are measured here from the
// item's bounds and the column widths alone.

// Cell `cell`'s rectangle, also when it is scrolled out of sight; nothing for the heading row or a
// cell outside the list.
[[nodiscard]] std::optional<RECT> CellRect(HWND list, results::CellPosition cell);

// The grid cell under `point`; nothing over the heading row, past the last row or past the last
// column.
[[nodiscard]] std::optional<results::CellPosition> CellAt(HWND list, POINT point);

// The entry cell under `point`; past an edge of the cell area, the cell one beyond the last one
// shown there, so that a drag out of the list scrolls on.
[[nodiscard]] results::CellPosition CellNear(HWND list, const results::ResultGrid& grid,
                                             POINT point);

// Scrolls the list the least that shows `cell` whole, as far as the list scrolls.
void ScrollToCell(HWND list, results::CellPosition cell);

// The grid row shown first, and scrolling the list to show `grid_row` first as far as it can.
[[nodiscard]] int TopRow(HWND list);
void ScrollToTopRow(HWND list, int grid_row);

// The grid rows the list shows, whole or cut off at the bottom.
struct RowSpan {
  int first;
  int last;
};
[[nodiscard]] RowSpan VisibleRows(HWND list);

}  // namespace trawlbox::app::win32
