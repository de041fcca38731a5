#pragma once

#include <QAbstractTableModel>

#include "results/result_grid.h"

namespace trawlbox::app::qt {

// Shows a ResultGrid to a Qt item view: the heading row 0 as the horizontal header, grid rows 1 to
// the last as model rows 0 onwards. Read-only; whoever observes the grid forwards its changes here.
class ResultGridTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The grid must outlive the model.
  explicit ResultGridTableModel(const results::ResultGrid& grid, QObject* parent = nullptr);

  static int GridRow(int model_row) { return model_row + 1; }
  static int ModelRow(int grid_row) { return grid_row - 1; }

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;

  void CellChanged(int grid_row, int col);
  void BeginRemoveRow(int grid_row);
  void EndRemoveRow();
  void AllCellsChanged();

 private:
  [[nodiscard]] QVariant Cell(int grid_row, int col, int role) const;

  const results::ResultGrid& grid_;
};

}  // namespace trawlbox::app::qt
