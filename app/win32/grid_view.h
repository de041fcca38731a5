#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "app/frame_pacer.h"
#include "app/win32/grid_painter.h"
#include "app/win32/window.h"
#include "results/result_grid.h"

namespace trawlbox::app::win32 {

// The cell grid on screen: a virtual report-view list that shows a ResultGrid, with its heading
// row as the list's header, the grid's column widths, alignments and highlight colours, and
// scrolled to its top row. The grid's current cell and selection end are the only selection: the
// list draws their rectangle itself, with a focus frame on the current cell, never selects an item
// of its own, and turns the user's input into the grid's gestures (see grid_gestures.h); the
// headings cannot be resized.
// The user's moves are shown at once; the program's (a collection run writes cells and moves the
// current cell at every entry, hundreds of times a second) at most once a frame.
class GridView : public Window, private results::ResultGridObserver {
 public:
  struct Callbacks {
    // A button was released over the cells or the heading row, at `screen`.
    std::function<void(bool right_button, POINT screen)> mouse_up;
    // The left button was double-clicked over the cells or the heading row, after the second
    // press moved the current cell.
    std::function<void()> double_click;
  };

  // A child of `parent` at `pixels` (its client coordinates), id `control_id`, showing `grid` in
  // `font`, which both must outlive the view. Handle() is null when Windows refused the control.
  GridView(HWND parent, int control_id, results::ResultGrid& grid, const RECT& pixels, HFONT font,
           Callbacks callbacks);
  ~GridView() override;

  // Moves the control to `pixels` and draws it in `font` at `dpi`, after a change of scale.
  void Relayout(const RECT& pixels, HFONT font, int dpi);

 public:
  // Shows what the frame holds back now, not at the frame's end.
  void Flush() { pacer_.Flush(); }

 private:
  void CellChanged(int row, int col) override;
  void RowAboutToBeRemoved(int row) override;
  void RowRemoved(int row) override;
  void AllCellsChanged() override;
  void SelectionChanged() override;
  void HighlightChanged() override;
  void TopRowChanged(int row) override;
  void ColumnWidthsChanged() override;

  // The list's heading row, whose input the view takes.
  class Header : public Window {
   public:
    // The header of `list`, which `view` shows.
    Header(HWND list, GridView& view);
    using Window::StartRouting;

   private:
    std::optional<LRESULT> OnOtherMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    GridView& view_;
  };

  // The list asks its parent for the cells' texts and paintings.
  std::optional<LRESULT> OnOwnNotify(NMHDR& notice) override;
  // The list's input, and the header's, which Header hands over; nothing: their own handling.
  std::optional<LRESULT> OnOtherMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  std::optional<LRESULT> OnHeaderMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // True when the key was one of the grid's.
  bool OnKeyDown(WPARAM key);
  void OnLeftPress(POINT point, bool extend);
  void OnDrag(POINT point);
  void ReportMouseUp(HWND from, bool right_button, LPARAM lparam) const;

  void ApplyHeadings();
  void ApplyColumnWidths();
  // The program's changes: ShowChanges now, or at the end of the frame that is open.
  void PaceChanges();
  // Redraws what changed since it last ran: headings, cells and the selection.
  void ShowChanges();
  // Redraws grid rows `first` to `last` where the list shows them.
  void RedrawRows(int first, int last);
  // Hands the list's scroll position to the grid as its top row.
  void FollowScroll();

  results::ResultGrid& grid_;
  Callbacks callbacks_;
  Header header_;
  // Its frames are timed on the list itself.
  FramePacer pacer_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  ShownSelection shown_;
  // The grid rows written since the last frame; none while first > last.
  int changed_first_ = 1;
  int changed_last_ = 0;
  bool headings_changed_ = false;
  // The left button went down on a cell and has not come up yet.
  bool dragging_ = false;
  // Set while the top row passes between grid and list in either direction, so that it is not
  // handed back where it came from.
  bool syncing_top_row_ = false;
  // The text of the last cell the list asked for, which it reads after the answer.
  std::wstring cell_text_;
};

}  // namespace trawlbox::app::win32
