#include "app/cell_style.h"

#include "collect/numeric_text.h"

namespace trawlbox::app {

CellColours SelectedCellColours(results::Highlight highlight) {
  switch (highlight) {
    case results::Highlight::kShownAtStartUp:
      return {ColourRole::kHighlightText, ColourRole::kWindowText};
    case results::Highlight::kShown:
      return {ColourRole::kWindow, ColourRole::kWindowText};
    case results::Highlight::kHidden:
      break;
  }
  return kOrdinaryCellColours;
}

TextSide CellTextSide(results::CellAlignment alignment, std::string_view text) {
  return alignment == results::CellAlignment::kGeneral && collect::IsNumeric(text)
             ? TextSide::kRight
             : TextSide::kLeft;
}

}  // namespace trawlbox::app
