#include "app/result_grid_view.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPalette>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

#include "app/fonts.h"
#include "app/twips.h"

namespace trawlbox::app {

using results::CellPosition;

namespace {

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
    : QTableView(parent), grid_(grid), model_(new ResultGridTableModel(grid, this)) {
  setModel(model_);
  setFont(ProgramFont());
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
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

  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ResultGridView::TakeSelectionFromView);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &ResultGridView::TakeSelectionFromView);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ResultGridView::OnScrolled);

  grid_.SetObserver(this);
  HighlightChanged();
  ShowGridSelection();
}

ResultGridView::~ResultGridView() {
  grid_.SetObserver(nullptr);
  // The selection model and the scroll bar outlive this part of the view; nothing they say while
  // the rest goes may reach it.
  disconnect(selectionModel(), nullptr, this, nullptr);
  disconnect(verticalScrollBar(), nullptr, this, nullptr);
}

void ResultGridView::mousePressEvent(QMouseEvent* event) {
  // A right-button press would make the cell under the pointer current; the popup commands must
  // act on the row that was current before.
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QTableView::mousePressEvent(event);
}

void ResultGridView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) QTableView::mouseReleaseEvent(event);
  emit MouseUp(event->button(), event->globalPosition().toPoint());
}

void ResultGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  // The item view turns a double click into a press of its own, which for other buttons would
  // move the current cell.
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
  emit DoubleClicked();
}

bool ResultGridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != horizontalHeader()->viewport()) return QTableView::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      return mouse->button() == Qt::RightButton;
    }
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      emit MouseUp(mouse->button(), mouse->globalPosition().toPoint());
      return mouse->button() == Qt::RightButton;
    }
    case QEvent::MouseButtonDblClick: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return true;
      emit DoubleClicked();
      return false;
    }
    default:
      return false;
  }
}

void ResultGridView::CellChanged(int row, int col) { model_->CellChanged(row, col); }

void ResultGridView::RowAboutToBeRemoved(int row) {
  // The item view moves its own current cell and scroll position while the row goes; the grid
  // keeps its own, which the view shows again once the row is gone.
  syncing_selection_ = true;
  syncing_top_row_ = true;
  model_->BeginRemoveRow(row);
}

void ResultGridView::RowRemoved(int /*row*/) {
  model_->EndRemoveRow();
  syncing_selection_ = false;
  syncing_top_row_ = false;
  ShowGridSelection();
}

void ResultGridView::AllCellsChanged() { model_->AllCellsChanged(); }

void ResultGridView::SelectionChanged() {
  if (!syncing_selection_) ShowGridSelection();
}

void ResultGridView::HighlightChanged() {
  const QPalette system = QGuiApplication::palette();
  // The grid's "window" and "window-text" colours are those of ordinary cells, which Qt calls
  // Base and Text; hidden selections are thus drawn like every other cell.
  QColor background;
  QColor text;
  switch (grid_.GetHighlight()) {
    case results::Highlight::kShownAtStartUp:
      background = system.color(QPalette::Text);
      text = system.color(QPalette::HighlightedText);
      break;
    case results::Highlight::kShown:
      background = system.color(QPalette::Text);
      text = system.color(QPalette::Base);
      break;
    case results::Highlight::kHidden:
      background = system.color(QPalette::Base);
      text = system.color(QPalette::Text);
      break;
  }
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

void ResultGridView::TakeSelectionFromView() {
  if (syncing_selection_) return;
  const QModelIndex end_index = selectionModel()->currentIndex();
  if (!end_index.isValid()) return;
  const CellPosition end{ResultGridTableModel::GridRow(end_index.row()), end_index.column()};
  CellPosition start = end;

  // The view's current cell is the corner the user dragged or extended to; the grid's current
  // cell is the opposite corner of the selected rectangle.
  const QItemSelection selection = selectionModel()->selection();
  if (!selection.isEmpty()) {
    int top = selection.front().top();
    int bottom = selection.front().bottom();
    int left = selection.front().left();
    int right = selection.front().right();
    for (const QItemSelectionRange& range : selection) {
      top = std::min(top, range.top());
      bottom = std::max(bottom, range.bottom());
      left = std::min(left, range.left());
      right = std::max(right, range.right());
    }
    const int row = end_index.row();
    const int col = end_index.column();
    if (row >= top && row <= bottom && col >= left && col <= right) {
      start.row = ResultGridTableModel::GridRow(row == top ? bottom : top);
      start.col = col == left ? right : left;
    }
  }

  const QScopedValueRollback guard(syncing_selection_, true);
  if (grid_.SetCurrent(start.row, start.col)) {
    static_cast<void>(grid_.SetSelectionEnd(end.row, end.col));
  }
}

void ResultGridView::ShowGridSelection() {
  const QScopedValueRollback guard(syncing_selection_, true);
  const CellPosition current = grid_.Current();
  const CellPosition end = grid_.SelectionEnd();
  if (current.row < 1 || end.row < 1) {
    selectionModel()->clear();
    return;
  }
  const QModelIndex top_left =
      model_->index(ResultGridTableModel::ModelRow(std::min(current.row, end.row)),
                    std::min(current.col, end.col));
  const QModelIndex bottom_right =
      model_->index(ResultGridTableModel::ModelRow(std::max(current.row, end.row)),
                    std::max(current.col, end.col));

  // Moving the grid's current cell does not scroll; only the user's own moves do.
  const bool auto_scroll = hasAutoScroll();
  setAutoScroll(false);
  selectionModel()->setCurrentIndex(model_->index(ResultGridTableModel::ModelRow(end.row), end.col),
                                    QItemSelectionModel::NoUpdate);
  selectionModel()->select(QItemSelection(top_left, bottom_right),
                           QItemSelectionModel::ClearAndSelect);
  setAutoScroll(auto_scroll);
}

}  // namespace trawlbox::app
