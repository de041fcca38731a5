#include "app/qt/result_grid_table_model.h"

#include <string>

#include "app/cell_style.h"

namespace trawlbox::app::qt {

namespace {

Qt::Alignment AlignmentOf(results::CellAlignment alignment, const std::string& text) {
  const TextSide side = CellTextSide(alignment, text);
  return (side == TextSide::kRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

}  // namespace

ResultGridTableModel::ResultGridTableModel(const results::ResultGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int ResultGridTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ModelRow(grid_.RowCount());
}

int ResultGridTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColumnCount();
}

QVariant ResultGridTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  return Cell(GridRow(index.row()), index.column(), role);
}

QVariant ResultGridTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
  if (orientation != Qt::Horizontal) return {};
  return Cell(0, section, role);
}

QVariant ResultGridTableModel::Cell(int grid_row, int col, int role) const {
  const std::optional<std::string> text = grid_.GetCell(grid_row, col);
  if (!text) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(*text);
    case Qt::TextAlignmentRole:
      return AlignmentOf(grid_.GetCellAlignment(grid_row, col), *text).toInt();
    default:
      return {};
  }
}

void ResultGridTableModel::CellChanged(int grid_row, int col) {
  if (grid_row == 0) {
    emit headerDataChanged(Qt::Horizontal, col, col);
    return;
  }
  const QModelIndex cell = index(ModelRow(grid_row), col);
  emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::TextAlignmentRole});
}

void ResultGridTableModel::BeginRemoveRow(int grid_row) {
  beginRemoveRows({}, ModelRow(grid_row), ModelRow(grid_row));
}

void ResultGridTableModel::EndRemoveRow() { endRemoveRows(); }

void ResultGridTableModel::AllCellsChanged() {
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

}  // namespace trawlbox::app::qt
