#include "app/result_grid_view.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <string>

#include "app/fonts.h"
#include "results/result_grid.h"

using trawlbox::app::ResultGridView;
using trawlbox::results::CellAlignment;
using trawlbox::results::CellPosition;
using trawlbox::results::Highlight;
using trawlbox::results::ResultGrid;

Q_DECLARE_METATYPE(Highlight)
Q_DECLARE_METATYPE(CellAlignment)
Q_DECLARE_METATYPE(QPalette::ColorRole)

namespace {

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

class ResultGridViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { trawlbox::app::InstallFontSubstitutions(); }

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

    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      QCOMPARE(shown.view.palette().color(group, QPalette::Highlight), system.color(background));
      QCOMPARE(shown.view.palette().color(group, QPalette::HighlightedText), system.color(text));
    }
    const QImage picture = shown.view.viewport()->grab().toImage();
    // Cell (3, 2) holds the view's focus frame; (2, 1) is selected and nothing else.
    QCOMPARE(picture.pixelColor(shown.CellCentre(2, 1)), system.color(background));
  }

  void DragSelectsFromTheCurrentCellToTheSelectionEnd() {
    ShownGrid shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    QWidget* viewport = shown.view.viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, shown.CellCentre(4, 3));
    QTest::mouseMove(viewport, shown.CellCentre(3, 2));
    QTest::mouseMove(viewport, shown.CellCentre(2, 1));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, shown.CellCentre(2, 1));
    QCOMPARE(shown.grid.Current(), (CellPosition{4, 3}));
    QCOMPARE(shown.grid.SelectionEnd(), (CellPosition{2, 1}));
    QCOMPARE(shown.grid.SelectionText(),
             "title2\tmq5\thttp://x/2\rtitle3\tmq5\thttp://x/3\rtitle4\tmq5\thttp://x/4");
  }

  void ShiftClickAndShiftArrowExtendTheSelection() {
    ShownGrid shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    QWidget* viewport = shown.view.viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, shown.CellCentre(2, 1));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, shown.CellCentre(3, 2));
    QCOMPARE(shown.grid.Current(), (CellPosition{2, 1}));
    QCOMPARE(shown.grid.SelectionEnd(), (CellPosition{3, 2}));

    QTest::keyClick(&shown.view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(shown.grid.Current(), (CellPosition{2, 1}));
    QCOMPARE(shown.grid.SelectionEnd(), (CellPosition{4, 2}));

    QTest::keyClick(&shown.view, Qt::Key_Down);
    QCOMPARE(shown.grid.Current(), (CellPosition{5, 2}));
    QCOMPARE(shown.grid.SelectionEnd(), (CellPosition{5, 2}));
  }

  void ShowsTheGridsSelectionWithoutHandingItBack() {
    ShownGrid shown;
    QVERIFY(shown.grid.SetCurrent(1, 0));
    QVERIFY(shown.grid.SetSelectionEnd(1, 3));
    const QModelIndexList selected = shown.view.selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 4);
    for (const QModelIndex& index : selected) QCOMPARE(index.row(), 0);
    QCOMPARE(shown.grid.Current(), (CellPosition{1, 0}));
    QCOMPARE(shown.grid.SelectionEnd(), (CellPosition{1, 3}));
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
};

QTEST_MAIN(ResultGridViewTest)
#include "result_grid_view_test.moc"
