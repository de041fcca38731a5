#include "app/win32/grid_painter.h"

#include <optional>
#include <string>

#include "app/cell_style.h"
#include "app/win32/grid_geometry.h"
#include "platform/files/wide_text.h"

namespace trawlbox::app::win32 {

using results::CellPosition;
using results::Highlight;

namespace {

constexpr int kTextMarginPx = 3;

COLORREF SystemColour(ColourRole role) {
  switch (role) {
    case ColourRole::kWindow:
      return GetSysColor(COLOR_WINDOW);
    case ColourRole::kWindowText:
      return GetSysColor(COLOR_WINDOWTEXT);
    case ColourRole::kHighlightText:
      break;
  }
  return GetSysColor(COLOR_HIGHLIGHTTEXT);
}

void PaintCell(HDC dc, HWND list, const results::ResultGrid& grid, const ShownSelection& shown,
               CellPosition cell, int dpi) {
  const std::optional<RECT> rect = CellRect(list, cell);
  const std::optional<std::string> text = grid.GetCell(cell.row, cell.col);
  if (!rect || !text) return;
  const CellColours colours =
      shown.Contains(cell) ? SelectedCellColours(shown.highlight) : kOrdinaryCellColours;
  const int saved = SaveDC(dc);
  SetBkColor(dc, SystemColour(colours.background));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &*rect, nullptr, 0, nullptr);
  if (!text->empty()) {
    const std::wstring wide = platform::Widen(*text);
    const int margin = MulDiv(kTextMarginPx, dpi, USER_DEFAULT_SCREEN_DPI);
    RECT inside = *rect;
    InflateRect(&inside, -margin, 0);
    SetTextColor(dc, SystemColour(colours.text));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(
        dc, wide.c_str(), static_cast<int>(wide.size()), &inside,
        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
            (CellTextSide(grid.GetCellAlignment(cell.row, cell.col), *text) == TextSide::kRight
                 ? DT_RIGHT
                 : DT_LEFT));
  }
  RestoreDC(dc, saved);
}

}  // namespace

bool ShownSelection::Contains(CellPosition cell) const {
  return results::SpannedRange(current, end).Contains(cell);
}

int ShownSelection::FirstRow() const { return results::SpannedRange(current, end).top; }
int ShownSelection::LastRow() const { return results::SpannedRange(current, end).bottom; }

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
