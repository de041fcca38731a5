#include "results/result_grid.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace trawlbox::results {

namespace {

std::size_t Index(int value) { return static_cast<std::size_t>(value); }

}  // namespace

ResultGrid::ResultGrid() : rows_(Index(kInitialRows)) {}

void ResultGrid::SetObserver(ResultGridObserver* observer) { observer_ = observer; }

int ResultGrid::RowCount() const { return static_cast<int>(rows_.size()); }

bool ResultGrid::Contains(int row, int col) const {
  return row >= 0 && row < RowCount() && col >= 0 && col < kColumns;
}

void ResultGrid::WriteHeadings() {
  for (int col = 0; col < kColumns; ++col) {
    rows_[0].cells[Index(col)] = kHeadings[Index(col)];
    if (observer_ != nullptr) observer_->CellChanged(0, col);
  }
}

void ResultGrid::SetColumnWidths() {
  widths_ = kColumnWidthsTwips;
  if (observer_ != nullptr) observer_->ColumnWidthsChanged();
}

void ResultGrid::ClearAll() {
  for (Row& row : rows_) {
    for (std::string& cell : row.cells) cell.clear();
  }
  if (observer_ != nullptr) observer_->AllCellsChanged();
}

bool ResultGrid::SetCell(int row, int col, std::string text) {
  if (!Contains(row, col)) return false;
  rows_[Index(row)].cells[Index(col)] = std::move(text);
  if (observer_ != nullptr) observer_->CellChanged(row, col);
  return true;
}

std::optional<std::string> ResultGrid::GetCell(int row, int col) const {
  if (!Contains(row, col)) return std::nullopt;
  return rows_[Index(row)].cells[Index(col)];
}

bool ResultGrid::RemoveRow(int row) {
  if (row < 1 || row >= RowCount() || RowCount() <= 2) return false;
  if (observer_ != nullptr) observer_->RowAboutToBeRemoved(row);
  rows_.erase(rows_.begin() + row);
  if (observer_ != nullptr) observer_->RowRemoved(row);

  const int last = RowCount() - 1;
  if (current_.row > last || selection_end_.row > last) {
    current_.row = std::min(current_.row, last);
    selection_end_.row = std::min(selection_end_.row, last);
    if (observer_ != nullptr) observer_->SelectionChanged();
  }
  if (top_row_ > last) {
    top_row_ = last;
    if (observer_ != nullptr) observer_->TopRowChanged(top_row_);
  }
  return true;
}

bool ResultGrid::SetCurrent(int row, int col) {
  if (!Contains(row, col)) return false;
  current_ = {row, col};
  selection_end_ = current_;
  if (observer_ != nullptr) observer_->SelectionChanged();
  return true;
}

bool ResultGrid::SetSelectionEnd(int row, int col) {
  if (!Contains(row, col)) return false;
  selection_end_ = {row, col};
  if (observer_ != nullptr) observer_->SelectionChanged();
  return true;
}

bool ResultGrid::SetTopRow(int row) {
  if (row < 1 || row >= RowCount()) return false;
  top_row_ = row;
  if (observer_ != nullptr) observer_->TopRowChanged(row);
  return true;
}

void ResultGrid::SetHighlight(Highlight highlight) {
  highlight_ = highlight;
  if (observer_ != nullptr) observer_->HighlightChanged();
}

void ResultGrid::SetCellAlignment(CellAlignment alignment) {
  rows_[Index(current_.row)].alignments[Index(current_.col)] = alignment;
  if (observer_ != nullptr) observer_->CellChanged(current_.row, current_.col);
}

CellAlignment ResultGrid::GetCellAlignment(int row, int col) const {
  if (!Contains(row, col)) return CellAlignment::kGeneral;
  return rows_[Index(row)].alignments[Index(col)];
}

CellRange SpannedRange(CellPosition current, CellPosition end) {
  return {.top = std::min(current.row, end.row),
          .left = std::min(current.col, end.col),
          .bottom = std::max(current.row, end.row),
          .right = std::max(current.col, end.col)};
}

std::string ResultGrid::SelectionText() const {
  const CellRange range = Selection();
  std::string text;
  for (int row = range.top; row <= range.bottom; ++row) {
    if (row > range.top) text += '\r';
    for (int col = range.left; col <= range.right; ++col) {
      if (col > range.left) text += '\t';
      text += rows_[Index(row)].cells[Index(col)];
    }
  }
  return text;
}

}  // namespace trawlbox::results
