#include "app/win32/grid_painter.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app/win32/grid_geometry.h"
#include "collect/numeric_text.h"
#include "platform/files/wide_text.h"

namespace trawlbox::app::win32 {

using results::CellPosition;
using results::Highlight;

namespace {

constexpr int kTextMarginPx = 3;

struct CellColours {
  COLORREF text;
  COLORREF background;
};

// The selected cells are inverted: the window's text colour behind them, as on the Qt window. A
// hidden highlight draws them as every other cell.
CellColours SelectedColours(Highlight highlight) {
  switch (highlight) {
    case Highlight::kShownAtStartUp:
      return {GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_WINDOWTEXT)};
    case Highlight::kShown:
      return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    case Highlight::kHidden:
      break;
  }
  return {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
}

// The grid's general alignment puts numbers on the right and text on the left.
UINT HorizontalAlignment(results::CellAlignment alignment, const std::string& text) {
  return alignment == results::CellAlignment::kGeneral && collect::IsNumeric(text) ? DT_RIGHT
                                                                                   : DT_LEFT;
}

void PaintCell(HDC dc, HWND list, const results::ResultGrid& grid, const ShownSelection& shown,
               CellPosition cell, int dpi) {
  const std::optional<RECT> rect = CellRect(list, cell);
  const std::optional<std::string> text = grid.GetCell(cell.row, cell.col);
  if (!rect || !text) return;
  const CellColours colours =
      shown.Contains(cell) ? SelectedColours(shown.highlight)
                           : CellColours{GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
  const int saved = SaveDC(dc);
  SetBkColor(dc, colours.background);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &*rect, nullptr, 0, nullptr);
  if (!text->empty()) {
    const std::wstring wide = platform::Widen(*text);
    const int margin = MulDiv(kTextMarginPx, dpi, USER_DEFAULT_SCREEN_DPI);
    RECT inside = *rect;
    InflateRect(&inside, -margin, 0);
    SetTextColor(dc, colours.text);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &inside,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                  HorizontalAlignment(grid.GetCellAlignment(cell.row, cell.col), *text));
  }
  RestoreDC(dc, saved);
}

}  // namespace

bool ShownSelection::Contains(CellPosition cell) const {
  return cell.row >= FirstRow() && cell.row <= LastRow() &&
         cell.col >= std::min(current.col, end.col) && cell.col <= std::max(current.col, end.col);
}

int ShownSelection::FirstRow() const { return std::min(current.row, end.row); }
int ShownSelection::LastRow() const { return std::max(current.row, end.row); }

LRESULT PaintGrid(NMLVCUSTOMDRAW& draw, const results::ResultGrid& grid,
                  const ShownSelection& shown, int dpi) {
  const int row = static_cast<int>(draw.nmcd.dwItemSpec) + 1;
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
      return CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_SUBITEM | CDDS_ITEMPREPAINT:
      PaintCell(draw.nmcd.hdc, draw.nmcd.hdr.hwndFrom, grid, shown, {row, draw.iSubItem}, dpi);
      return CDRF_SKIPDEFAULT;
    case CDDS_ITEMPOSTPAINT:
      if (row == shown.current.row) {
        if (std::optional<RECT> frame = CellRect(draw.nmcd.hdr.hwndFrom, shown.current)) {
          // Inside the grid lines, which the list draws on the cells' right and bottom edges.
          --frame->right;
          --frame->bottom;
          DrawFocusRect(draw.nmcd.hdc, &*frame);
        }
      }
      return CDRF_DODEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace trawlbox::app::win32
