#pragma once

#include <QPoint>
#include <QTableView>

#include "app/result_grid_table_model.h"
#include "results/result_grid.h"

namespace trawlbox::app {

// The cell grid on screen: shows a ResultGrid with its heading row as the fixed header, no
// row-number column, the grid's column widths, alignments and highlight colours, and scrolls to its
// top row. The user's clicks, drags and arrow keys move the grid's current cell and selection end:
// the cell where a selection starts is the current cell, the cell it is dragged to the selection
// end. A right-button press changes nothing, so a command on the current row acts on that row
// whatever lies under the pointer. Tab and Shift+Tab leave the grid.
class ResultGridView : public QTableView, private results::ResultGridObserver {
  Q_OBJECT

 public:
  // Observes `grid`, which must outlive the view, until the view is destroyed.
  explicit ResultGridView(results::ResultGrid& grid, QWidget* parent = nullptr);
  ~ResultGridView() override;
  ResultGridView(const ResultGridView&) = delete;
  ResultGridView& operator=(const ResultGridView&) = delete;

 signals:
  // A mouse button was released over the cells or the heading row.
  void MouseUp(Qt::MouseButton button, QPoint global_position);
  // The left button was double-clicked over the cells or the heading row, after the first click
  // moved the current cell.
  void DoubleClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CellChanged(int row, int col) override;
  void RowAboutToBeRemoved(int row) override;
  void RowRemoved(int row) override;
  void AllCellsChanged() override;
  void SelectionChanged() override;
  void HighlightChanged() override;
  void TopRowChanged(int row) override;
  void ColumnWidthsChanged() override;

  // Hands the user's selection to the grid.
  void TakeSelectionFromView();
  // Shows the grid's current cell and selection.
  void ShowGridSelection();
  void OnScrolled(int value);

  results::ResultGrid& grid_;
  ResultGridTableModel* model_;
  // Set while a change passes between grid and view in either direction, so that it is not
  // handed back where it came from.
  bool syncing_selection_ = false;
  bool syncing_top_row_ = false;
};

}  // namespace trawlbox::app
