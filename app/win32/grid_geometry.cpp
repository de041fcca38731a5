#include "app/win32/grid_geometry.h"

#include <commctrl.h>

#include <algorithm>

#include "results/grid_gestures.h"

namespace trawlbox::app::win32 {

using results::CellPosition;

namespace {

LRESULT Send(HWND list, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  return SendMessageW(list, message, wparam, lparam);
}

int ItemCount(HWND list) { return static_cast<int>(Send(list, LVM_GETITEMCOUNT)); }
int TopIndex(HWND list) { return static_cast<int>(Send(list, LVM_GETTOPINDEX)); }

std::optional<RECT> ItemBounds(HWND list, int index) {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  if (Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&bounds)) ==
          0 ||
      bounds.bottom <= bounds.top) {
    return std::nullopt;
  }
  return bounds;
}

int ColumnWidth(HWND list, int col) {
  return static_cast<int>(Send(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(col)));
}

// The list's client area below its header, where the cells are.
RECT CellArea(HWND list) {
  RECT area{};
  GetClientRect(list, &area);
  const auto header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER));
  RECT heading{};
  if (header != nullptr && IsWindowVisible(header) && GetWindowRect(header, &heading)) {
    MapWindowPoints(HWND_DESKTOP, list, reinterpret_cast<POINT*>(&heading), 2);
    area.top = std::max(area.top, heading.bottom);
  }
  return area;
}

// The list item at client height `y`, or -1 above the first shown one or past the last.
int IndexAt(HWND list, int y) {
  const int top = TopIndex(list);
  const std::optional<RECT> first = ItemBounds(list, top);
  if (!first || y < first->top) return -1;
  const int index = top + (y - first->top) / (first->bottom - first->top);
  return index < ItemCount(list) ? index : -1;
}

// The column at client x `x`, or -1 past the last.
int ColumnAt(HWND list, int x) {
  const std::optional<RECT> row = ItemBounds(list, TopIndex(list));
  if (!row) return -1;
  int left = row->left;
  for (int col = 0; col < results::ResultGrid::kColumns; ++col) {
    const int right = left + ColumnWidth(list, col);
    if (x >= left && x < right) return col;
    left = right;
  }
  return -1;
}

}  // namespace

std::optional<RECT> CellRect(HWND list, CellPosition cell) {
  if (cell.row < 1 || cell.col < 0 || cell.col >= results::ResultGrid::kColumns) {
    return std::nullopt;
  }
  std::optional<RECT> rect = ItemBounds(list, cell.row - 1);
  if (!rect) return std::nullopt;
  for (int col = 0; col < cell.col; ++col) rect->left += ColumnWidth(list, col);
  rect->right = rect->left + ColumnWidth(list, cell.col);
  return rect;
}

std::optional<CellPosition> CellAt(HWND list, POINT point) {
  const RECT area = CellArea(list);
  if (!PtInRect(&area, point)) return std::nullopt;
  const int index = IndexAt(list, point.y);
  const int col = ColumnAt(list, point.x);
  if (index < 0 || col < 0) return std::nullopt;
  return CellPosition{index + 1, col};
}

CellPosition CellNear(HWND list, const results::ResultGrid& grid, POINT point) {
  const RECT area = CellArea(list);
  const int y = std::clamp(point.y, area.top, std::max(area.top, area.bottom - 1));
  const int x = std::clamp(point.x, area.left, std::max(area.left, area.right - 1));
  const int index = IndexAt(list, y);
  const int col = ColumnAt(list, x);
  CellPosition cell{index < 0 ? grid.RowCount() - 1 : index + 1,
                    col < 0 ? grid.ColumnCount() - 1 : col};
  cell.row += (point.y > y) - (point.y < y);
  cell.col += (point.x > x) - (point.x < x);
  return results::ClampedToEntries(grid, cell);
}

void ScrollToCell(HWND list, CellPosition cell) {
  Send(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(cell.row - 1), FALSE);
  const std::optional<RECT> rect = CellRect(list, cell);
  if (!rect) return;
  const RECT area = CellArea(list);
  int dx = 0;
  if (rect->left < area.left) {
    dx = rect->left - area.left;
  } else if (rect->right > area.right) {
    dx = std::min(rect->right - area.right, rect->left - area.left);
  }
  if (dx != 0) Send(list, LVM_SCROLL, static_cast<WPARAM>(dx), 0);
}

int TopRow(HWND list) { return TopIndex(list) + 1; }

void ScrollToTopRow(HWND list, int grid_row) {
  const int top = TopIndex(list);
  const std::optional<RECT> first = ItemBounds(list, top);
  if (!first) return;
  // The list scrolls by whole rows in report view; the distance is given in pixels.
  const int dy = (grid_row - 1 - top) * (first->bottom - first->top);
  if (dy != 0) Send(list, LVM_SCROLL, 0, dy);
}

RowSpan VisibleRows(HWND list) {
  const int top = TopIndex(list);
  // One more than the rows shown whole: the last one may be cut off.
  const int shown = static_cast<int>(Send(list, LVM_GETCOUNTPERPAGE)) + 1;
  return {top + 1, std::min(top + shown, ItemCount(list))};
}

}  // namespace trawlbox::app::win32
