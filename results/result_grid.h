#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace trawlbox::results {

// How the selected cells are coloured: inverted (shown) or like every other cell (hidden). A new
// grid shows its selection in the system's highlight-text colour on the window-text colour, which
// counts as shown.
enum class Highlight { kShownAtStartUp, kShown, kHidden };

// kGeneral: text left, numbers right, vertically centred. kLeftCentre: left, vertically centred.
enum class CellAlignment { kGeneral, kLeftCentre };

struct CellPosition {
  int row = 0;
  int col = 0;
  friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

// A rectangle of cells, its corners included.
struct CellRange {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;

  [[nodiscard]] bool Contains(CellPosition cell) const {
    return cell.row >= top && cell.row <= bottom && cell.col >= left && cell.col <= right;
  }
};

// The rectangle that `current` and `end` span, whichever corner each is.
[[nodiscard]] CellRange SpannedRange(CellPosition current, CellPosition end);

// Told about every change, so a view can follow the grid without polling it. Every call comes after
// the change, except RowAboutToBeRemoved, which comes just before the row goes.
class ResultGridObserver {
 public:
  virtual ~ResultGridObserver() = default;
  virtual void CellChanged(int row, int col) = 0;
  virtual void RowAboutToBeRemoved(int row) = 0;
  virtual void RowRemoved(int row) = 0;
  virtual void AllCellsChanged() = 0;
  virtual void SelectionChanged() = 0;
  virtual void HighlightChanged() = 0;
  virtual void TopRowChanged(int row) = 0;
  virtual void ColumnWidthsChanged() = 0;
};

// The result grid: the program's only store of collected entries. 4 columns and 3000 rows, row 0
// holding the headings and rows 1 to 2999 one entry each. Rows and columns count from 0. The row
// count only goes down (RemoveRow); nothing adds rows. Knows no widget.
class ResultGrid {
 public:
  static constexpr int kColumns = 4;
  static constexpr int kInitialRows = 3000;
  static constexpr std::array<const char*, kColumns> kHeadings = {"  No.", "  タイトル", "タイプ",
                                                                  "  URL"};
  static constexpr std::array<int, kColumns> kColumnWidthsTwips = {600, 4000, 600, 4000};

  ResultGrid();

  // The observer must outlive the grid or be replaced with nullptr first.
  void SetObserver(ResultGridObserver* observer);

  [[nodiscard]] int RowCount() const;
  [[nodiscard]] int ColumnCount() const { return kColumns; }

  void WriteHeadings();
  void SetColumnWidths();
  // Empties every cell, the heading row included; row count, widths and alignments stay.
  void ClearAll();

  // False, changing nothing, when the cell lies outside the grid.
  [[nodiscard]] bool SetCell(int row, int col, std::string text);
  // Nothing when the cell lies outside the grid.
  [[nodiscard]] std::optional<std::string> GetCell(int row, int col) const;
  // Deletes the row; later rows move up by one. The current cell, the selection end and the top
  // row stay where they are unless they now lie past the last row. False, changing nothing, for
  // the heading row, a row outside the grid or the only entry row left.
  [[nodiscard]] bool RemoveRow(int row);

  // Moving the current cell also moves the selection end onto it. False when outside the grid.
  [[nodiscard]] bool SetCurrent(int row, int col);
  [[nodiscard]] bool SetSelectionEnd(int row, int col);
  [[nodiscard]] int CurrentRow() const { return current_.row; }
  [[nodiscard]] CellPosition Current() const { return current_; }
  [[nodiscard]] CellPosition SelectionEnd() const { return selection_end_; }

  // Scrolls so that `row` is the first visible entry row. False for the heading row or a row
  // outside the grid.
  [[nodiscard]] bool SetTopRow(int row);
  [[nodiscard]] int TopRow() const { return top_row_; }

  void SetHighlight(Highlight highlight);
  [[nodiscard]] Highlight GetHighlight() const { return highlight_; }

  // Aligns the current cell's text.
  void SetCellAlignment(CellAlignment alignment);
  // kGeneral for a cell outside the grid.
  [[nodiscard]] CellAlignment GetCellAlignment(int row, int col) const;

  [[nodiscard]] const std::array<int, kColumns>& ColumnWidthsTwips() const { return widths_; }

  // The selected rectangle, spanned by the current cell and the selection end.
  [[nodiscard]] CellRange Selection() const { return SpannedRange(current_, selection_end_); }
  // Cells of the selected rectangle, whichever corner the current cell is: a tab between the cells
  // of a row, a carriage return between rows, nothing after the last cell.
  [[nodiscard]] std::string SelectionText() const;

 private:
  struct Row {
    std::array<std::string, kColumns> cells;
    std::array<CellAlignment, kColumns> alignments{};
  };

  [[nodiscard]] bool Contains(int row, int col) const;

  std::vector<Row> rows_;
  std::array<int, kColumns> widths_{};
  CellPosition current_{1, 0};
  CellPosition selection_end_{1, 0};
  int top_row_ = 1;
  Highlight highlight_ = Highlight::kShownAtStartUp;
  ResultGridObserver* observer_ = nullptr;
};

}  // namespace trawlbox::results
