#pragma once

#include "results/result_grid.h"

namespace trawlbox::results {

// The keys that move the grid's current cell or its selection end.
enum class GridKey { kUp, kDown, kLeft, kRight, kPageUp, kPageDown, kHome, kEnd };

// The grid's selection gestures, the same in every window: one rectangle between the current cell
// and the selection end, anchored at the current cell as in a spreadsheet, over entry cells only
// (row 1 on). Each changes the grid, which tells its observer. Each window turns its input into
// them so:
// - a left press makes the cell under the pointer current; with Shift it moves the selection end
//   there instead; dragging moves the selection end, and past an edge of the view scrolls on.
//   Ctrl adds nothing: there is one rectangle.
// - a left press on a heading selects that column's entry rows; with Shift, the columns from the
//   current cell's column to that one. Ctrl+A selects every entry cell.
// - the arrow keys, Page Up and Page Down, Home and End (with Ctrl: the first or the last row as
//   well) move the current cell; with Shift they move the selection end.
// - other buttons select nothing, so a command on the current row acts on that row whatever lies
//   under the pointer.
// Tab and Shift+Tab leave the grid.

// A left press on `cell`, or a drag onto it: makes it current or, with `extend` (Shift, or a drag),
// moves the selection end onto it. A cell beyond the entry rows counts as the nearest entry cell.
void PressCell(ResultGrid& grid, CellPosition cell, bool extend);

// A left press on column `col`'s heading: that column's entry rows; with `extend`, the columns from
// the current cell's column to that one.
void SelectColumns(ResultGrid& grid, int col, bool extend);

// Ctrl+A: every entry cell, with the first entry row's first cell current.
void SelectAllEntries(ResultGrid& grid);

// Moves the current cell (the selection end with `extend`) as `key` says and returns where it
// went: one cell for an arrow; `page_rows` rows for a page key; the first or last column for Home
// or End, with `to_edge` (Ctrl) the first or last entry row as well.
CellPosition PressKey(ResultGrid& grid, GridKey key, bool extend, bool to_edge, int page_rows);

// `cell` moved onto the nearest entry cell.
[[nodiscard]] CellPosition ClampedToEntries(const ResultGrid& grid, CellPosition cell);

}  // namespace trawlbox::results
