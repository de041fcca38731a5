#include "app/qt/result_grid_view.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPalette>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>
#include <memory>
#include <optional>

#include "app/cell_style.h"
#include "app/qt/fonts.h"
#include "app/twips.h"
#include "platform/qt/qt_timer.h"
#include "results/grid_gestures.h"

namespace trawlbox::app::qt {

using results::CellPosition;

namespace {

std::optional<results::GridKey> GridKeyOf(int key) {
  switch (key) {
    case Qt::Key_Up:
      return results::GridKey::kUp;
    case Qt::Key_Down:
      return results::GridKey::kDown;
    case Qt::Key_Left:
      return results::GridKey::kLeft;
    case Qt::Key_Right:
      return results::GridKey::kRight;
    case Qt::Key_PageUp:
      return results::GridKey::kPageUp;
    case Qt::Key_PageDown:
      return results::GridKey::kPageDown;
    case Qt::Key_Home:
      return results::GridKey::kHome;
    case Qt::Key_End:
      return results::GridKey::kEnd;
    default:
      return std::nullopt;
  }
}

// The heading row. With its sections not highlighted it shows nothing of the selection, so it
// skips the repaint that every move of the selection would otherwise cost it: during a collection
// run that is one repaint per entry.
class HeadingRow : public QHeaderView {
 public:
  explicit HeadingRow(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    // As the table view's own heading row.
    setSectionsClickable(true);
  }

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    if (highlightSections()) QHeaderView::currentChanged(current, previous);
  }
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override {
    if (highlightSections()) QHeaderView::selectionChanged(selected, deselected);
  }
};

}  // namespace

ResultGridView::ResultGridView(results::ResultGrid& grid, QWidget* parent)
    : QTableView(parent),
      grid_(grid),
      model_(new ResultGridTableModel(grid, this)),
      selection_pacer_(std::make_unique<platform::QtTimer>(), [this] { SelectionChanged(); }) {
  setModel(model_);
  setFont(ProgramFont());
  // The view selects nothing by itself and never scrolls to its current cell on its own: it shows
  // the grid's selection, and only the user's own moves scroll.
  setSelectionMode(QAbstractItemView::NoSelection);
  setAutoScroll(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  // One scroll step per row, so the vertical scroll position is the top row.
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  setHorizontalHeader(new HeadingRow(this));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->viewport()->installEventFilter(this);

  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ResultGridView::OnScrolled);

  grid_.SetObserver(this);
  HighlightChanged();
  ShowGridSelection();
}

ResultGridView::~ResultGridView() {
  grid_.SetObserver(nullptr);
  // The scroll bar outlives this part of the view; nothing it says while the rest goes may reach
  // it.
  disconnect(verticalScrollBar(), nullptr, this, nullptr);
}

void ResultGridView::selectAll() {
  results::SelectAllEntries(grid_);
  ShowGridSelection();
}

void ResultGridView::keyboardSearch(const QString& /*search*/) {}

void ResultGridView::mousePressEvent(QMouseEvent* event) {
  // Only the left button selects. A right press would otherwise make the cell under the pointer
  // current, while the popup commands must act on the row that was current before.
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  dragging_ = true;
  MoveTo({ResultGridTableModel::GridRow(index.row()), index.column()},
         event->modifiers().testFlag(Qt::ShiftModifier));
}

void ResultGridView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    // With no button held the item view only tracks the cell under the pointer.
    if (event->buttons() == Qt::NoButton) QTableView::mouseMoveEvent(event);
    return;
  }
  const CellPosition cell = CellNear(event->position().toPoint());
  if (cell == grid_.SelectionEnd()) return;
  MoveTo(cell, true);
  ScrollToCell(cell);
}

void ResultGridView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
  event->accept();
  emit MouseUp(event->button(), event->globalPosition().toPoint());
}

void ResultGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  mousePressEvent(event);
  emit DoubleClicked();
}

void ResultGridView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
    return;
  }
  const std::optional<results::GridKey> key = GridKeyOf(event->key());
  if (!key) {
    event->ignore();
    return;
  }
  const int page = std::max(1, viewport()->height() / verticalHeader()->defaultSectionSize());
  // A page key turns the page: the cell keeps its place in the view where it can.
  if (key == results::GridKey::kPageUp || key == results::GridKey::kPageDown) {
    verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                  (key == results::GridKey::kPageUp ? -page : page));
  }
  const CellPosition to =
      results::PressKey(grid_, *key, event->modifiers().testFlag(Qt::ShiftModifier),
                        event->modifiers().testFlag(Qt::ControlModifier), page);
  ShowGridSelection();
  ScrollToCell(to);
}

bool ResultGridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != horizontalHeader()->viewport()) return QTableView::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return true;
      const int col = horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
      if (col >= 0) SelectColumns(col, mouse->modifiers().testFlag(Qt::ShiftModifier));
      if (event->type() == QEvent::MouseButtonDblClick) emit DoubleClicked();
      return true;
    }
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      emit MouseUp(mouse->button(), mouse->globalPosition().toPoint());
      return true;
    }
    default:
      return false;
  }
}

void ResultGridView::MoveTo(CellPosition cell, bool extend) {
  results::PressCell(grid_, cell, extend);
  ShowGridSelection();
}

void ResultGridView::SelectColumns(int col, bool extend) {
  results::SelectColumns(grid_, col, extend);
  ShowGridSelection();
}

CellPosition ResultGridView::CellNear(QPoint point) const {
  const QRect area = viewport()->rect();
  const int y = std::clamp(point.y(), area.top(), area.bottom());
  const int x = std::clamp(point.x(), area.left(), area.right());
  CellPosition cell{rowAt(y) < 0 ? grid_.RowCount() - 1 : ResultGridTableModel::GridRow(rowAt(y)),
                    columnAt(x) < 0 ? grid_.ColumnCount() - 1 : columnAt(x)};
  cell.row += (point.y() > y) - (point.y() < y);
  cell.col += (point.x() > x) - (point.x() < x);
  return results::ClampedToEntries(grid_, cell);
}

void ResultGridView::ScrollToCell(CellPosition cell) {
  scrollTo(model_->index(ResultGridTableModel::ModelRow(cell.row), cell.col));
}

void ResultGridView::CellChanged(int row, int col) { model_->CellChanged(row, col); }

void ResultGridView::RowAboutToBeRemoved(int row) {
  // The item view moves its own current cell and scroll position while the row goes; the grid
  // keeps its own, which the view shows again once the row is gone.
  syncing_top_row_ = true;
  model_->BeginRemoveRow(row);
}

void ResultGridView::RowRemoved(int /*row*/) {
  model_->EndRemoveRow();
  syncing_top_row_ = false;
  ShowGridSelection();
}

void ResultGridView::AllCellsChanged() { model_->AllCellsChanged(); }

void ResultGridView::SelectionChanged() {
  // The item view announces every change of its selection and current cell on the accessibility
  // bus, which would cost a run more than writing the entry that moved them. The handlers of the
  // user's input show their own moves at once; the commands act on the grid's selection, which is
  // always current, so waiting delays only what is painted and announced.
  if (selection_pacer_.ShowNow()) ShowGridSelection();
}

void ResultGridView::HighlightChanged() {
  const QPalette system = QGuiApplication::palette();
  const auto colour = [&system](ColourRole role) {
    switch (role) {
      case ColourRole::kWindow:
        return system.color(QPalette::Base);
      case ColourRole::kWindowText:
        return system.color(QPalette::Text);
      case ColourRole::kHighlightText:
        break;
    }
    return system.color(QPalette::HighlightedText);
  };
  const CellColours selected = SelectedCellColours(grid_.GetHighlight());
  const QColor background = colour(selected.background);
  const QColor text = colour(selected.text);
  QPalette colours = palette();
  bool unchanged = testAttribute(Qt::WA_SetPalette);
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    unchanged = unchanged && colours.color(group, QPalette::Highlight) == background &&
                colours.color(group, QPalette::HighlightedText) == text;
    colours.setColor(group, QPalette::Highlight, background);
    colours.setColor(group, QPalette::HighlightedText, text);
  }
  // Every scanned page shows the highlight again; setting the same palette would repaint the
  // whole grid and its header each time.
  if (!unchanged) setPalette(colours);
}

void ResultGridView::TopRowChanged(int row) {
  if (syncing_top_row_) return;
  const QScopedValueRollback guard(syncing_top_row_, true);
  verticalScrollBar()->setValue(ResultGridTableModel::ModelRow(row));
}

void ResultGridView::ColumnWidthsChanged() {
  const auto& widths = grid_.ColumnWidthsTwips();
  for (int col = 0; col < grid_.ColumnCount(); ++col) {
    setColumnWidth(col, TwipsToPixels(widths[static_cast<std::size_t>(col)]));
  }
}

void ResultGridView::OnScrolled(int value) {
  if (syncing_top_row_) return;
  const QScopedValueRollback guard(syncing_top_row_, true);
  static_cast<void>(grid_.SetTopRow(ResultGridTableModel::GridRow(value)));
}

void ResultGridView::ShowGridSelection() {
  QItemSelectionModel& shown = *selectionModel();
  const CellPosition current = grid_.Current();
  const CellPosition end = grid_.SelectionEnd();
  if (current.row < 1 || end.row < 1) {
    shown.clear();
    return;
  }
  const results::CellRange range = grid_.Selection();
  const QModelIndex top_left = model_->index(ResultGridTableModel::ModelRow(range.top), range.left);
  const QModelIndex bottom_right =
      model_->index(ResultGridTableModel::ModelRow(range.bottom), range.right);
  const QModelIndex current_index =
      model_->index(ResultGridTableModel::ModelRow(current.row), current.col);
  const QItemSelection rectangle(top_left, bottom_right);
  if (shown.currentIndex() != current_index) {
    shown.setCurrentIndex(current_index, QItemSelectionModel::NoUpdate);
  }
  if (shown.selection() != rectangle) shown.select(rectangle, QItemSelectionModel::ClearAndSelect);
}

}  // namespace trawlbox::app::qt
