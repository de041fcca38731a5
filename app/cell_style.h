#pragma once

#include <string_view>

#include "results/result_grid.h"

namespace trawlbox::app {

// The system colours a window draws the grid's cells in, named as Windows names them (Qt's Base is
// the window colour, its Text the window-text colour).
enum class ColourRole { kWindow, kWindowText, kHighlightText };

struct CellColours {
  ColourRole text;
  ColourRole background;
};

// What every cell outside the selection is drawn in.
inline constexpr CellColours kOrdinaryCellColours{ColourRole::kWindowText, ColourRole::kWindow};

// What the selected cells are drawn in under `highlight`: inverted while shown (at start-up in
// the highlight-text colour), like every other cell while hidden.
[[nodiscard]] CellColours SelectedCellColours(results::Highlight highlight);

enum class TextSide { kLeft, kRight };

// Where a cell's `text` stands: the general alignment puts numbers on the right and text on the
// left; every text is vertically centred.
[[nodiscard]] TextSide CellTextSide(results::CellAlignment alignment, std::string_view text);

}  // namespace trawlbox::app
