#include "app/qt/result_grid_view.h"

#include <QAction>
#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/fonts.h"
#include "results/result_grid.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/test_http_server.h"
#include "tests/support/window_rig.h"

using trawlbox::app::qt::ResultGridView;
using trawlbox::results::CellAlignment;
using trawlbox::results::CellPosition;
using trawlbox::results::Highlight;
using trawlbox::results::ResultGrid;
using trawlbox::testing::TestHttpServer;
using trawlbox::testing::WindowRig;

Q_DECLARE_METATYPE(Highlight)
Q_DECLARE_METATYPE(CellAlignment)
Q_DECLARE_METATYPE(QPalette::ColorRole)

namespace {

constexpr int kEntries = 12;
constexpr int kLastRow = ResultGrid::kInitialRows - 1;

// A cell expected after a step: `pages` times the rows Page Down moves below `row`.
struct ExpectedCell {
  int row;
  int col;
  int pages = 0;
};

// One thing the user does to the window's grid, and where the grid's current cell and selection
// end are expected afterwards. The view shows the user's own moves at once, the program's within a
// frame.
struct Step {
  const char* what;
  std::function<void(WindowRig&)> act;
  ExpectedCell current;
  ExpectedCell end;
  bool program_moves = false;
};

using Steps = std::vector<Step>;

void Press(WindowRig& rig, int row, int col, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = {}) {
  QTest::mousePress(rig.PointerTarget(row), button, modifiers, rig.PointOver(row, col));
}

void Click(WindowRig& rig, int row, int col, Qt::KeyboardModifiers modifiers = {}) {
  rig.ClickCell(row, col, Qt::LeftButton, modifiers);
}

void Key(WindowRig& rig, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  QTest::keyClick(rig.GridView(), key, modifiers);
}

QString Name(CellPosition cell) { return QStringLiteral("(%1,%2)").arg(cell.row).arg(cell.col); }

// What one step left: the rectangle the view shows selected, the grid's current cell, selection
// end and the view's focus frame, and whether 「コピー」 put exactly the shown cells on the
// clipboard.
QString Outcome(WindowRig& rig) {
  const QTableView& view = *rig.GridView();
  const QModelIndexList shown = view.selectionModel()->selectedIndexes();
  if (shown.isEmpty()) return QStringLiteral("nothing shown");
  int top = shown.front().row();
  int bottom = top;
  int left = shown.front().column();
  int right = left;
  for (const QModelIndex& index : shown) {
    top = std::min(top, index.row());
    bottom = std::max(bottom, index.row());
    left = std::min(left, index.column());
    right = std::max(right, index.column());
  }
  QStringList rows;
  for (int row = top; row <= bottom; ++row) {
    QStringList cells;
    for (int col = left; col <= right; ++col)
      cells << view.model()->index(row, col).data().toString();
    rows << cells.join(u'\t');
  }
  QGuiApplication::clipboard()->clear();
  rig.Find<QAction>("mnuCopy")->trigger();
  const bool copies_shown = QGuiApplication::clipboard()->text() == rows.join(u'\r');

  const QModelIndex frame = view.currentIndex();
  const bool one_rectangle = shown.size() == (bottom - top + 1) * (right - left + 1);
  return QStringLiteral("shown %1-%2%3, current %4, end %5, frame %6, copy %7")
      .arg(Name({top + 1, left}), Name({bottom + 1, right}),
           one_rectangle ? QString() : QStringLiteral(" in pieces"),
           Name(rig.window.Grid().Current()), Name(rig.window.Grid().SelectionEnd()),
           Name({frame.row() + 1, frame.column()}),
           copies_shown ? QStringLiteral("as shown") : QStringLiteral("differs"));
}

QString ExpectedOutcome(CellPosition current, CellPosition end) {
  return QStringLiteral("shown %1-%2, current %3, end %4, frame %3, copy as shown")
      .arg(Name({std::min(current.row, end.row), std::min(current.col, end.col)}),
           Name({std::max(current.row, end.row), std::max(current.col, end.col)}), Name(current),
           Name(end));
}

// A local MQL5 site whose one listing page leads to one detail page with kEntries downloads.
void ServeEntries(TestHttpServer& server) {
  QByteArray detail;
  for (int n = 1; n <= kEntries; ++n) {
    detail += "<a class=\"mq5\" href=\"http://x/" + QByteArray::number(n) + "\">EA" +
              QByteArray::number(n) + "</a>\n";
  }
  trawlbox::testing::TestReply listing;
  listing.body = "<b><a href=\"/detail\">EAs</a></b>";
  server.Serve("/five/en/code/page1", listing);
  trawlbox::testing::TestReply details;
  details.body = detail.toStdString();
  server.Serve("/five/detail", details);
}

// A grid with headings, widths and `entries` numbered rows, shown in a view of the window's size.
struct ShownGrid {
  explicit ShownGrid(int entries = 10) {
    grid.WriteHeadings();
    grid.SetColumnWidths();
    for (int n = 1; n <= entries; ++n) {
      const std::string number = std::to_string(n);
      static_cast<void>(grid.SetCell(n, 0, number));
      static_cast<void>(grid.SetCell(n, 1, "title" + number));
      static_cast<void>(grid.SetCell(n, 2, "mq5"));
      static_cast<void>(grid.SetCell(n, 3, "http://x/" + number));
    }
    view.resize(601, 313);
    view.show();
  }

  QModelIndex Index(int grid_row, int col) const { return view.model()->index(grid_row - 1, col); }
  QPoint CellCentre(int grid_row, int col) const {
    return view.visualRect(Index(grid_row, col)).center();
  }
  QString Text(int grid_row, int col) const { return Index(grid_row, col).data().toString(); }

  ResultGrid grid;
  ResultGridView view{grid};
};

}  // namespace

Q_DECLARE_METATYPE(Steps)

class ResultGridViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { trawlbox::app::qt::InstallFontSubstitutions(); }

  void ShowsHeadingRowAsFixedHeaderInTheGridFont() {
    ShownGrid shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    QAbstractItemModel& model = *shown.view.model();
    QCOMPARE(model.rowCount(), 2999);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("  No."));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("  タイトル"));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("タイプ"));
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("  URL"));
    QCOMPARE(shown.Text(1, 0), QStringLiteral("1"));
    QVERIFY(!shown.view.verticalHeader()->isVisible());
    QCOMPARE(shown.view.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(QFontInfo(shown.view.font()).family(), QStringLiteral("IPAPGothic"));

    shown.grid.ClearAll();
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString());
    QCOMPARE(shown.Text(1, 0), QString());
  }

  void FollowsRemovedRowsKeepingTheGridsCurrentCell() {
    ShownGrid shown;
    QVERIFY(shown.grid.SetCurrent(5, 1));
    QVERIFY(shown.grid.RemoveRow(3));
    QCOMPARE(shown.view.model()->rowCount(), 2998);
    QCOMPARE(shown.Text(2, 0), QStringLiteral("2"));
    QCOMPARE(shown.Text(3, 0), QStringLiteral("4"));
    QCOMPARE(shown.Text(10, 0), QString());
    QCOMPARE(shown.grid.Current(), (CellPosition{5, 1}));
    QCOMPARE(shown.view.currentIndex(), shown.Index(5, 1));
  }

  void AlignsCells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<CellAlignment>("alignment");
    QTest::addColumn<int>("expected");
    const int left = (Qt::AlignLeft | Qt::AlignVCenter).toInt();
    const int right = (Qt::AlignRight | Qt::AlignVCenter).toInt();
    QTest::newRow("number") << QStringLiteral("12") << CellAlignment::kGeneral << right;
    QTest::newRow("text") << QStringLiteral("title") << CellAlignment::kGeneral << left;
    QTest::newRow("number left") << QStringLiteral("12") << CellAlignment::kLeftCentre << left;
  }

  void AlignsCells() {
    QFETCH(QString, text);
    QFETCH(CellAlignment, alignment);
    QFETCH(int, expected);
    ShownGrid shown;
    QVERIFY(shown.grid.SetCurrent(4, 1));
    QVERIFY(shown.grid.SetCell(4, 1, text.toStdString()));
    shown.grid.SetCellAlignment(alignment);
    QCOMPARE(shown.Index(4, 1).data(Qt::TextAlignmentRole).toInt(), expected);
  }

  void DrawsTheSelectionInTheHighlightStatesColours_data() {
    QTest::addColumn<bool>("set");
    QTest::addColumn<Highlight>("highlight");
    QTest::addColumn<QPalette::ColorRole>("background");
    QTest::addColumn<QPalette::ColorRole>("text");
    QTest::newRow("start-up") << false << Highlight::kShownAtStartUp << QPalette::Text
                              << QPalette::HighlightedText;
    QTest::newRow("shown") << true << Highlight::kShown << QPalette::Text << QPalette::Base;
    QTest::newRow("hidden") << true << Highlight::kHidden << QPalette::Base << QPalette::Text;
  }

  void DrawsTheSelectionInTheHighlightStatesColours() {
    QFETCH(bool, set);
    QFETCH(Highlight, highlight);
    QFETCH(QPalette::ColorRole, background);
    QFETCH(QPalette::ColorRole, text);
    const QPalette system = QGuiApplication::palette();
    QVERIFY(system.color(QPalette::Base) != system.color(QPalette::Text));

    ShownGrid shown(0);
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    if (set) shown.grid.SetHighlight(highlight);
    QVERIFY(shown.grid.SetCurrent(2, 1));
    QVERIFY(shown.grid.SetSelectionEnd(3, 2));
    // The program's moves reach the view within a frame.
    QTRY_VERIFY(shown.view.selectionModel()->isSelected(shown.Index(3, 2)));

    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      QCOMPARE(shown.view.palette().color(group, QPalette::Highlight), system.color(background));
      QCOMPARE(shown.view.palette().color(group, QPalette::HighlightedText), system.color(text));
    }
    const QImage picture = shown.view.viewport()->grab().toImage();
    // Cell (2, 1), the current cell, holds the view's focus frame; (3, 2) is selected as well.
    QCOMPARE(picture.pixelColor(shown.CellCentre(3, 2)), system.color(background));
  }

  void RightButtonLeavesTheCurrentCellAndReportsItsRelease() {
    ShownGrid shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    QVERIFY(shown.grid.SetCurrent(2, 0));
    QSignalSpy released(&shown.view, &ResultGridView::MouseUp);
    QSignalSpy double_clicked(&shown.view, &ResultGridView::DoubleClicked);

    QTest::mouseClick(shown.view.viewport(), Qt::RightButton, {}, shown.CellCentre(6, 3));
    QTest::mouseDClick(shown.view.viewport(), Qt::RightButton, {}, shown.CellCentre(7, 3));
    QWidget* header = shown.view.horizontalHeader()->viewport();
    QTest::mouseClick(header, Qt::RightButton, {}, header->rect().center());

    QCOMPARE(shown.grid.Current(), (CellPosition{2, 0}));
    QCOMPARE(double_clicked.count(), 0);
    // One release each from the single clicks on the cells and on the heading row.
    QCOMPARE(released.count(), 2);
    for (const QList<QVariant>& signal : released) {
      QCOMPARE(signal.at(0).value<Qt::MouseButton>(), Qt::RightButton);
    }
  }

  void LeftReleaseAndDoubleClickComeAfterTheCurrentCellMoved() {
    ShownGrid shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    CellPosition current_at_release;
    connect(&shown.view, &ResultGridView::MouseUp, this,
            [&] { current_at_release = shown.grid.Current(); });
    CellPosition current_at_double_click;
    connect(&shown.view, &ResultGridView::DoubleClicked, this,
            [&] { current_at_double_click = shown.grid.Current(); });

    QTest::mouseClick(shown.view.viewport(), Qt::LeftButton, {}, shown.CellCentre(6, 3));
    QCOMPARE(current_at_release, (CellPosition{6, 3}));
    QTest::mouseDClick(shown.view.viewport(), Qt::LeftButton, {}, shown.CellCentre(4, 1));
    QCOMPARE(current_at_double_click, (CellPosition{4, 1}));
  }

  void ScrollsToTheTopRowAndFollowsTheUsersScrolling() {
    ShownGrid shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    QVERIFY(shown.grid.SetTopRow(100));
    QCOMPARE(shown.view.rowAt(0), 99);
    shown.view.verticalScrollBar()->setValue(9);
    QCOMPARE(shown.grid.TopRow(), 10);
  }

  void EveryInputKeepsOneSelectionThatTheViewShowsAndCopyTakes_data() {
    QTest::addColumn<Steps>("steps");
    QTest::newRow("drag") << Steps{
        {"press", [](WindowRig& r) { Press(r, 4, 3); }, {4, 3}, {4, 3}},
        {"move",
         [](WindowRig& r) { QTest::mouseMove(r.GridView()->viewport(), r.PointOver(3, 2)); },
         {4, 3},
         {3, 2}},
        {"move and release",
         [](WindowRig& r) {
           QTest::mouseMove(r.GridView()->viewport(), r.PointOver(2, 1));
           QTest::mouseRelease(r.GridView()->viewport(), Qt::LeftButton, {}, r.PointOver(2, 1));
         },
         {4, 3},
         {2, 1}}};
    QTest::newRow("shift+click after a run moved the current cell") << Steps{
        {"click", [](WindowRig& r) { Click(r, 7, 2); }, {7, 2}, {7, 2}},
        {"run", [](WindowRig& r) { r.Click("cmdSubmit"); }, {1, 0}, {1, 3}, true},
        {"shift+click", [](WindowRig& r) { Click(r, 3, 1, Qt::ShiftModifier); }, {1, 0}, {3, 1}},
        {"shift+down",
         [](WindowRig& r) { Key(r, Qt::Key_Down, Qt::ShiftModifier); },
         {1, 0},
         {4, 1}}};
    QTest::newRow("ctrl+click") << Steps{
        {"click", [](WindowRig& r) { Click(r, 2, 1); }, {2, 1}, {2, 1}},
        {"shift+click", [](WindowRig& r) { Click(r, 3, 2, Qt::ShiftModifier); }, {2, 1}, {3, 2}},
        {"ctrl+click", [](WindowRig& r) { Click(r, 6, 3, Qt::ControlModifier); }, {6, 3}, {6, 3}},
        {"ctrl+click again",
         [](WindowRig& r) { Click(r, 8, 0, Qt::ControlModifier); },
         {8, 0},
         {8, 0}}};
    QTest::newRow("right and middle buttons") << Steps{
        {"click", [](WindowRig& r) { Click(r, 2, 1); }, {2, 1}, {2, 1}},
        {"right press", [](WindowRig& r) { Press(r, 6, 3, Qt::RightButton); }, {2, 1}, {2, 1}},
        {"right click",
         [](WindowRig& r) {
           r.ClickCell(7, 0, Qt::RightButton);
           r.Find<QMenu>("mnuFile")->hide();
         },
         {2, 1},
         {2, 1}},
        {"middle click", [](WindowRig& r) { r.ClickCell(6, 3, Qt::MiddleButton); }, {2, 1}, {2, 1}},
        {"middle on a heading",
         [](WindowRig& r) { r.ClickCell(0, 3, Qt::MiddleButton); },
         {2, 1},
         {2, 1}}};
    QTest::newRow("heading scrolled")
        << Steps{{"click", [](WindowRig& r) { Click(r, 5, 2); }, {5, 2}, {5, 2}},
                 {"scroll and heading",
                  [](WindowRig& r) {
                    r.GridView()->verticalScrollBar()->setValue(99);
                    Click(r, 0, 2);
                  },
                  {1, 2},
                  {kLastRow, 2}},
                 {"shift+heading",
                  [](WindowRig& r) { Click(r, 0, 3, Qt::ShiftModifier); },
                  {1, 2},
                  {kLastRow, 3}}};
    QTest::newRow("ctrl+a") << Steps{
        {"click", [](WindowRig& r) { Click(r, 5, 2); }, {5, 2}, {5, 2}},
        {"ctrl+a",
         [](WindowRig& r) { Key(r, Qt::Key_A, Qt::ControlModifier); },
         {1, 0},
         {kLastRow, 3}}};
    // Each key and modifier reaches its gesture; grid_gestures_test.cpp covers where they stop.
    QTest::newRow("keys") << Steps{
        {"click", [](WindowRig& r) { Click(r, 2, 1); }, {2, 1}, {2, 1}},
        {"down", [](WindowRig& r) { Key(r, Qt::Key_Down); }, {3, 1}, {3, 1}},
        {"shift+left",
         [](WindowRig& r) { Key(r, Qt::Key_Left, Qt::ShiftModifier); },
         {3, 1},
         {3, 0}},
        {"page down", [](WindowRig& r) { Key(r, Qt::Key_PageDown); }, {3, 1, 1}, {3, 1, 1}},
        {"ctrl+end",
         [](WindowRig& r) { Key(r, Qt::Key_End, Qt::ControlModifier); },
         {kLastRow, 3},
         {kLastRow, 3}},
        {"ctrl+shift+home",
         [](WindowRig& r) { Key(r, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier); },
         {kLastRow, 3},
         {1, 0}}};
  }

  void EveryInputKeepsOneSelectionThatTheViewShowsAndCopyTakes() {
    QFETCH(Steps, steps);
    TestHttpServer server;
    ServeEntries(server);
    WindowRig rig({server.Url("/four"), server.Url("/five")});
    QVERIFY(rig.ShowActive());
    rig.Click("cmdSubmit");
    QCOMPARE(rig.window.State().CollectedCount, kEntries);
    const QTableView& view = *rig.GridView();
    const int page = view.viewport()->height() / view.rowHeight(0);

    for (const Step& step : steps) {
      step.act(rig);
      const auto at = [page](ExpectedCell cell) {
        return CellPosition{cell.row + cell.pages * page, cell.col};
      };
      const QString what = QString::fromUtf8(step.what);
      const QString expected =
          what + QStringLiteral(": ") + ExpectedOutcome(at(step.current), at(step.end));
      if (step.program_moves) {
        QTRY_COMPARE(what + QStringLiteral(": ") + Outcome(rig), expected);
      } else {
        QCOMPARE(what + QStringLiteral(": ") + Outcome(rig), expected);
      }
    }
  }
};

TRAWLBOX_CURL_TEST_MAIN(ResultGridViewTest)
#include "result_grid_view_test.moc"
