#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include "results/result_grid.h"

namespace trawlbox::app::win32 {

// The selection as the list shows it, which may lag behind the grid's by up to a frame.
struct ShownSelection {
  results::CellPosition current{1, 0};
  results::CellPosition end{1, 0};
  results::Highlight highlight = results::Highlight::kShownAtStartUp;

  [[nodiscard]] bool Contains(results::CellPosition cell) const;
  [[nodiscard]] int FirstRow() const;
  [[nodiscard]] int LastRow() const;
  friend bool operator==(const ShownSelection&, const ShownSelection&) = default;
};

// The answer to the list's NM_CUSTOMDRAW notice. The grid paints every cell itself, in the
// selection's colours when `shown` holds it and with the grid's own alignment of that cell, and
// frames the current cell; the list's own selection and focus, which the grid never uses, are
// never drawn. `dpi` scales the cells' inner margins.
[[nodiscard]] LRESULT PaintGrid(NMLVCUSTOMDRAW& draw, const results::ResultGrid& grid,
                                const ShownSelection& shown, int dpi);

}  // namespace trawlbox::app::win32
