// The grid's input: the list's and its header's messages turned into the grid's gestures. The
// list's own handling of clicks and keys never runs, since it would select items of its own.

#include "app/win32/grid_view.h"

#include <algorithm>
#include <cstdint>

#include "app/win32/grid_geometry.h"
#include "results/grid_gestures.h"

namespace trawlbox::app::win32 {

using results::CellPosition;
using results::GridKey;

namespace {

POINT PointOf(LPARAM lparam) {
  const auto bits = static_cast<std::uint32_t>(lparam);
  return {static_cast<std::int16_t>(bits & 0xFFFFu), static_cast<std::int16_t>(bits >> 16)};
}

bool Held(int key) { return GetKeyState(key) < 0; }

std::optional<GridKey> GridKeyOf(WPARAM key) {
  switch (key) {
    case VK_UP:
      return GridKey::kUp;
    case VK_DOWN:
      return GridKey::kDown;
    case VK_LEFT:
      return GridKey::kLeft;
    case VK_RIGHT:
      return GridKey::kRight;
    case VK_PRIOR:
      return GridKey::kPageUp;
    case VK_NEXT:
      return GridKey::kPageDown;
    case VK_HOME:
      return GridKey::kHome;
    case VK_END:
      return GridKey::kEnd;
    default:
      return std::nullopt;
  }
}

}  // namespace

GridView::Header::Header(HWND list, GridView& view)
    : Window(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0))), view_(view) {}

std::optional<LRESULT> GridView::Header::OnOtherMessage(UINT message, WPARAM wparam,
                                                        LPARAM lparam) {
  return view_.OnHeaderMessage(message, wparam, lparam);
}

std::optional<LRESULT> GridView::OnOtherMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnLeftPress(PointOf(lparam), (wparam & MK_SHIFT) != 0);
      if (message == WM_LBUTTONDBLCLK && callbacks_.double_click) callbacks_.double_click();
      return 0;
    case WM_MOUSEMOVE:
      if (!dragging_) return std::nullopt;
      OnDrag(PointOf(lparam));
      return 0;
    case WM_LBUTTONUP:
      dragging_ = false;
      if (GetCapture() == Handle()) ReleaseCapture();
      ReportMouseUp(Handle(), false, lparam);
      return 0;
    case WM_RBUTTONUP:
      ReportMouseUp(Handle(), true, lparam);
      return 0;
    // Other buttons only take the focus: a right press would otherwise make the cell under the
    // pointer current, while the popup's commands act on the row that was current before.
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      SetFocus(Handle());
      return 0;
    case WM_MBUTTONUP:
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return std::nullopt;
    case WM_KEYDOWN:
      if (OnKeyDown(wparam)) return 0;
      return std::nullopt;
    case WM_CHAR:
      // The list would move its own focus to an item starting with the typed letter.
      return 0;
    case WM_GETDLGCODE:
      return Default(message, wparam, lparam) &
             ~static_cast<LRESULT>(DLGC_WANTTAB | DLGC_WANTALLKEYS);
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_SIZE: {
      const LRESULT answer = Default(message, wparam, lparam);
      FollowScroll();
      return answer;
    }
    default:
      return std::nullopt;
  }
}

std::optional<LRESULT> GridView::OnHeaderMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(Handle());
      HDHITTESTINFO hit{};
      hit.pt = PointOf(lparam);
      SendMessageW(header_.Handle(), HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.iItem >= 0 && hit.iItem < grid_.ColumnCount()) {
        results::SelectColumns(grid_, hit.iItem, (wparam & MK_SHIFT) != 0);
        ShowChanges();
      }
      if (message == WM_LBUTTONDBLCLK && callbacks_.double_click) callbacks_.double_click();
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      ReportMouseUp(header_.Handle(), message == WM_RBUTTONUP, lparam);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
      return 0;
    case WM_SETCURSOR:
      // A divider's sizing pointer would promise widths the grid keeps fixed.
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return TRUE;
    default:
      return std::nullopt;
  }
}

void GridView::OnLeftPress(POINT point, bool extend) {
  SetFocus(Handle());
  const std::optional<CellPosition> cell = CellAt(Handle(), point);
  if (!cell) return;
  dragging_ = true;
  SetCapture(Handle());
  results::PressCell(grid_, *cell, extend);
  ShowChanges();
}

void GridView::OnDrag(POINT point) {
  const CellPosition cell = CellNear(Handle(), grid_, point);
  if (cell == grid_.SelectionEnd()) return;
  results::PressCell(grid_, cell, true);
  ShowChanges();
  ScrollToCell(Handle(), cell);
  FollowScroll();
}

bool GridView::OnKeyDown(WPARAM key) {
  const bool shift = Held(VK_SHIFT);
  const bool control = Held(VK_CONTROL);
  if (key == 'A' && control) {
    results::SelectAllEntries(grid_);
    ShowChanges();
    return true;
  }
  // The list would select its focused item.
  if (key == VK_SPACE) return true;
  const std::optional<GridKey> grid_key = GridKeyOf(key);
  if (!grid_key) return false;
  const int page = std::max(1, static_cast<int>(SendMessageW(Handle(), LVM_GETCOUNTPERPAGE, 0, 0)));
  // A page key turns the page: the cell keeps its place in the list where it can.
  if (grid_key == GridKey::kPageUp || grid_key == GridKey::kPageDown) {
    ScrollToTopRow(Handle(), TopRow(Handle()) + (grid_key == GridKey::kPageUp ? -page : page));
  }
  const CellPosition to = results::PressKey(grid_, *grid_key, shift, control, page);
  ShowChanges();
  ScrollToCell(Handle(), to);
  FollowScroll();
  return true;
}

void GridView::ReportMouseUp(HWND from, bool right_button, LPARAM lparam) const {
  POINT screen = PointOf(lparam);
  ClientToScreen(from, &screen);
  if (callbacks_.mouse_up) callbacks_.mouse_up(right_button, screen);
}

}  // namespace trawlbox::app::win32
