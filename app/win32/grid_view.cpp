#include "app/win32/grid_view.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "app/twips.h"
#include "app/win32/grid_geometry.h"
#include "platform/files/wide_text.h"

namespace trawlbox::app::win32 {

namespace {

ShownSelection SelectionOf(const results::ResultGrid& grid) {
  return {grid.Current(), grid.SelectionEnd(), grid.GetHighlight()};
}

HWND CreateList(HWND parent, int control_id, const RECT& pixels) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  return CreateWindowExW(
      0, WC_LISTVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA |
          LVS_SHOWSELALWAYS,
      pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)), instance, nullptr);
}

}  // namespace

GridView::GridView(HWND parent, int control_id, results::ResultGrid& grid, const RECT& pixels,
                   HFONT font, Callbacks callbacks)
    : Window(CreateList(parent, control_id, pixels)),
      grid_(grid),
      callbacks_(std::move(callbacks)),
      header_(Handle(), *this),
      pacer_(MakeTimer(), [this] { PaceChanges(); }) {
  if (Handle() == nullptr) return;
  const UINT window_dpi = GetDpiForWindow(parent);
  if (window_dpi != 0) dpi_ = static_cast<int>(window_dpi);

  // Full-row selection stays off: the selection is a rectangle of cells, not of rows.
  constexpr LPARAM kStyles = LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER;
  SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, kStyles | LVS_EX_FULLROWSELECT, kStyles);
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (int col = 0; col < grid_.ColumnCount(); ++col) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.iSubItem = col;
    column.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(col),
                 reinterpret_cast<LPARAM>(&column));
  }
  ApplyHeadings();
  ApplyColumnWidths();
  SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(grid_.RowCount() - 1),
               LVSICF_NOSCROLL);

  grid_.SetObserver(this);
  shown_ = SelectionOf(grid_);
  TopRowChanged(grid_.TopRow());
  StartRouting();
  header_.StartRouting();
}

// The list goes before the header's object does, and takes its header with it.
GridView::~GridView() {
  grid_.SetObserver(nullptr);
  StopRouting();
  if (Handle() != nullptr) DestroyWindow(Handle());
}

// The notice is the head of a larger structure the list hands over for the answer to be written
// into.
std::optional<LRESULT> GridView::OnOwnNotify(NMHDR& notice) {
  switch (notice.code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(notice).item;
      if ((item.mask & LVIF_TEXT) != 0) {
        cell_text_ = platform::Widen(grid_.GetCell(item.iItem + 1, item.iSubItem).value_or(""));
        item.pszText = cell_text_.data();
      }
      return 0;
    }
    case LVN_ODFINDITEMW:
      // Typing never moves the current cell to a matching entry.
      return -1;
    case NM_CUSTOMDRAW:
      return PaintGrid(reinterpret_cast<NMLVCUSTOMDRAW&>(notice), grid_, shown_, dpi_);
    default:
      return std::nullopt;
  }
}

void GridView::Relayout(const RECT& pixels, HFONT font, int dpi) {
  if (Handle() == nullptr) return;
  dpi_ = dpi;
  SetWindowPos(Handle(), nullptr, pixels.left, pixels.top, pixels.right - pixels.left,
               pixels.bottom - pixels.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ApplyColumnWidths();
}

void GridView::CellChanged(int row, int /*col*/) {
  if (row == 0) {
    headings_changed_ = true;
  } else {
    changed_first_ = std::min(changed_first_, row);
    changed_last_ = std::max(changed_last_, row);
  }
  PaceChanges();
}

void GridView::RowAboutToBeRemoved(int /*row*/) {}

void GridView::RowRemoved(int /*row*/) {
  // Every later row moves up: the list redraws them all.
  SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(grid_.RowCount() - 1),
               LVSICF_NOSCROLL);
}

void GridView::AllCellsChanged() {
  headings_changed_ = true;
  changed_first_ = 1;
  changed_last_ = grid_.RowCount() - 1;
  PaceChanges();
}

void GridView::SelectionChanged() {
  // The handlers of the user's input show their own moves at once; the commands act on the grid's
  // selection, which is always current, so waiting delays only what is painted.
  PaceChanges();
}

void GridView::HighlightChanged() { PaceChanges(); }

void GridView::TopRowChanged(int row) {
  if (syncing_top_row_ || Handle() == nullptr) return;
  syncing_top_row_ = true;
  ScrollToTopRow(Handle(), row);
  syncing_top_row_ = false;
}

void GridView::ColumnWidthsChanged() { ApplyColumnWidths(); }

void GridView::ApplyHeadings() {
  for (int col = 0; col < grid_.ColumnCount(); ++col) {
    std::wstring heading = platform::Widen(grid_.GetCell(0, col).value_or(""));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = heading.data();
    SendMessageW(Handle(), LVM_SETCOLUMNW, static_cast<WPARAM>(col),
                 reinterpret_cast<LPARAM>(&column));
  }
}

void GridView::ApplyColumnWidths() {
  if (Handle() == nullptr) return;
  const auto& widths = grid_.ColumnWidthsTwips();
  for (int col = 0; col < grid_.ColumnCount(); ++col) {
    const int pixels = TwipsToPixels(widths[static_cast<std::size_t>(col)], dpi_);
    SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(col), pixels);
  }
}

void GridView::PaceChanges() {
  if (Handle() != nullptr && pacer_.ShowNow()) ShowChanges();
}

void GridView::ShowChanges() {
  if (Handle() == nullptr) return;
  if (headings_changed_) {
    headings_changed_ = false;
    ApplyHeadings();
  }
  if (changed_first_ <= changed_last_) {
    RedrawRows(changed_first_, changed_last_);
    changed_first_ = grid_.RowCount();
    changed_last_ = 0;
  }
  const ShownSelection now = SelectionOf(grid_);
  if (now == shown_) return;
  RedrawRows(shown_.FirstRow(), shown_.LastRow());
  shown_ = now;
  RedrawRows(shown_.FirstRow(), shown_.LastRow());
}

void GridView::RedrawRows(int first, int last) {
  // A selection of every entry spans thousands of rows, of which a few dozen are on screen.
  const RowSpan visible = VisibleRows(Handle());
  const std::optional<RECT> top = CellRect(Handle(), {std::max(first, visible.first), 0});
  const std::optional<RECT> bottom = CellRect(Handle(), {std::min(last, visible.last), 0});
  if (!top || !bottom || top->top > bottom->bottom) return;
  // The whole width of the rows: the list's own idea of a row's box leaves out the first pixels,
  // where the focus frame of a cell of the first column lies.
  RECT rows{};
  GetClientRect(Handle(), &rows);
  rows.top = top->top;
  rows.bottom = bottom->bottom;
  InvalidateRect(Handle(), &rows, FALSE);
}

void GridView::FollowScroll() {
  if (syncing_top_row_ || Handle() == nullptr) return;
  const int top = TopRow(Handle());
  if (top == grid_.TopRow()) return;
  syncing_top_row_ = true;
  static_cast<void>(grid_.SetTopRow(top));
  syncing_top_row_ = false;
}

}  // namespace trawlbox::app::win32
