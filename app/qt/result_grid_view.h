#pragma once

#include <QPoint>
#include <QTableView>

#include "app/frame_pacer.h"
#include "app/qt/result_grid_table_model.h"
#include "results/result_grid.h"

namespace trawlbox::app::qt {

// The cell grid on screen: shows a ResultGrid with its heading row as the fixed header, no
// row-number column, the grid's column widths, alignments and highlight colours, and scrolls to its
// top row. The grid's current cell and selection end are the only selection: the view shows their
// rectangle, with the focus frame on the current cell, and turns the user's input into the grid's
// gestures (see grid_gestures.h).
// The user's moves are shown at once; the program's (a collection run moves the current cell at
// every entry) at most once a frame, as the window paints, since each change the view shows is also
// announced to the accessibility bus.
class ResultGridView : public QTableView, private results::ResultGridObserver {
  Q_OBJECT

 public:
  // Observes `grid`, which must outlive the view, until the view is destroyed.
  explicit ResultGridView(results::ResultGrid& grid, QWidget* parent = nullptr);
  ~ResultGridView() override;
  ResultGridView(const ResultGridView&) = delete;
  ResultGridView& operator=(const ResultGridView&) = delete;

  // Shows the program's latest move of the selection now, not at the frame's end.
  void FlushFrame() { selection_pacer_.Flush(); }

  // Every entry cell, with the first entry row's first cell current.
  void selectAll() override;
  // Does nothing: typed text does not move the current cell to a matching cell.
  void keyboardSearch(const QString& search) override;

 signals:
  // A mouse button was released over the cells or the heading row.
  void MouseUp(Qt::MouseButton button, QPoint global_position);
  // The left button was double-clicked over the cells or the heading row, after the second press
  // moved the current cell.
  void DoubleClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
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

  // Makes `cell` current or, when `extend`, moves the selection end onto it.
  void MoveTo(results::CellPosition cell, bool extend);
  void SelectColumns(int col, bool extend);
  // The entry cell under `point` of the viewport; past an edge of the viewport, the cell one
  // beyond the last one shown there, so that a drag out of the view scrolls on.
  [[nodiscard]] results::CellPosition CellNear(QPoint point) const;
  void ScrollToCell(results::CellPosition cell);
  // Shows the grid's current cell and selection now, changing only what the view does not show
  // already.
  void ShowGridSelection();
  void OnScrolled(int value);

  results::ResultGrid& grid_;
  ResultGridTableModel* model_;
  // The left button went down on a cell and has not come up yet.
  bool dragging_ = false;
  // Set while the top row passes between grid and view in either direction, so that it is not
  // handed back where it came from.
  bool syncing_top_row_ = false;
  // Shows the program's moves of the grid's selection at most once a frame.
  FramePacer selection_pacer_;
};

}  // namespace trawlbox::app::qt
