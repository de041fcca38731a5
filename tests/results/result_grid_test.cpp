#include "results/result_grid.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace trawlbox::results {
namespace {

using ::testing::ElementsAre;

// Writes entries 1..count the way the collection does: number, title, type, URL.
void WriteEntries(ResultGrid& grid, int count) {
  for (int n = 1; n <= count; ++n) {
    ASSERT_TRUE(grid.SetCell(n, 0, std::to_string(n)));
    ASSERT_TRUE(grid.SetCell(n, 1, "title" + std::to_string(n)));
    ASSERT_TRUE(grid.SetCell(n, 2, "mq4"));
    ASSERT_TRUE(grid.SetCell(n, 3, "http://x/" + std::to_string(n)));
  }
}

std::vector<std::string> Column(const ResultGrid& grid, int col, int first_row, int last_row) {
  std::vector<std::string> cells;
  for (int row = first_row; row <= last_row; ++row) cells.push_back(*grid.GetCell(row, col));
  return cells;
}

TEST(ResultGridTest, ClearAllEmptiesHeadingsUntilWrittenAgain) {
  ResultGrid grid;
  grid.WriteHeadings();
  grid.SetColumnWidths();
  WriteEntries(grid, 3);
  ASSERT_TRUE(grid.SetCurrent(2, 1));
  grid.SetCellAlignment(CellAlignment::kLeftCentre);

  grid.ClearAll();

  EXPECT_THAT(Column(grid, 0, 0, 3), ElementsAre("", "", "", ""));
  EXPECT_EQ(*grid.GetCell(0, 1), "");
  EXPECT_EQ(grid.RowCount(), ResultGrid::kInitialRows);
  EXPECT_EQ(grid.ColumnWidthsTwips(), ResultGrid::kColumnWidthsTwips);
  EXPECT_EQ(grid.GetCellAlignment(2, 1), CellAlignment::kLeftCentre);

  grid.WriteHeadings();
  EXPECT_EQ(*grid.GetCell(0, 0), "  No.");
  EXPECT_EQ(*grid.GetCell(0, 1), "  タイトル");
  EXPECT_EQ(*grid.GetCell(0, 2), "タイプ");
  EXPECT_EQ(*grid.GetCell(0, 3), "  URL");
}

struct OutsideCase {
  int row;
  int col;
};

void PrintTo(const OutsideCase& c, std::ostream* os) { *os << c.row << ',' << c.col; }

class ResultGridOutsideTest : public ::testing::TestWithParam<OutsideCase> {};

TEST_P(ResultGridOutsideTest, RefusesCellsOutsideTheGrid) {
  ResultGrid grid;
  const OutsideCase c = GetParam();
  EXPECT_FALSE(grid.SetCell(c.row, c.col, "x"));
  EXPECT_EQ(grid.GetCell(c.row, c.col), std::nullopt);
  EXPECT_FALSE(grid.SetCurrent(c.row, c.col));
  EXPECT_FALSE(grid.SetSelectionEnd(c.row, c.col));
  EXPECT_EQ(grid.Current(), (CellPosition{1, 0}));
  EXPECT_EQ(grid.SelectionEnd(), (CellPosition{1, 0}));
}

INSTANTIATE_TEST_SUITE_P(Table, ResultGridOutsideTest,
                         ::testing::Values(OutsideCase{-1, 0}, OutsideCase{0, -1},
                                           OutsideCase{0, 4}, OutsideCase{3000, 0},
                                           OutsideCase{2999, 4}));

TEST(ResultGridTest, Entry2999IsTheLastThatFits) {
  ResultGrid grid;
  EXPECT_TRUE(grid.SetCell(2999, 3, "http://x/2999"));
  EXPECT_EQ(*grid.GetCell(2999, 3), "http://x/2999");
  EXPECT_FALSE(grid.SetCell(3000, 0, "3000"));
}

TEST(ResultGridTest, RemovingRowMovesLaterRowsUpWithoutRenumbering) {
  ResultGrid grid;
  WriteEntries(grid, 10);

  ASSERT_TRUE(grid.RemoveRow(3));

  EXPECT_THAT(Column(grid, 0, 1, 10),
              ElementsAre("1", "2", "4", "5", "6", "7", "8", "9", "10", ""));
  EXPECT_EQ(*grid.GetCell(3, 3), "http://x/4");
  EXPECT_EQ(grid.RowCount(), 2999);
  EXPECT_FALSE(grid.SetCell(2999, 0, "x"));
}

TEST(ResultGridTest, RemoveRowRefusesHeadingOutsideAndOnlyEntryRow) {
  ResultGrid grid;
  WriteEntries(grid, 1);
  EXPECT_FALSE(grid.RemoveRow(0));
  EXPECT_FALSE(grid.RemoveRow(-1));
  EXPECT_FALSE(grid.RemoveRow(3000));
  while (grid.RowCount() > 2) ASSERT_TRUE(grid.RemoveRow(grid.RowCount() - 1));
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_FALSE(grid.RemoveRow(1));
  EXPECT_EQ(*grid.GetCell(1, 0), "1");
}

TEST(ResultGridTest, RemovingTheLastRowPullsCurrentCellAndTopRowBackIntoTheGrid) {
  ResultGrid grid;
  ASSERT_TRUE(grid.SetCurrent(2999, 2));
  ASSERT_TRUE(grid.SetTopRow(2999));
  ASSERT_TRUE(grid.RemoveRow(2999));
  EXPECT_EQ(grid.Current(), (CellPosition{2998, 2}));
  EXPECT_EQ(grid.SelectionEnd(), (CellPosition{2998, 2}));
  EXPECT_EQ(grid.TopRow(), 2998);
}

TEST(ResultGridTest, MovingTheCurrentCellCollapsesTheSelection) {
  ResultGrid grid;
  WriteEntries(grid, 3);
  ASSERT_TRUE(grid.SetCurrent(1, 0));
  ASSERT_TRUE(grid.SetSelectionEnd(3, 3));
  ASSERT_TRUE(grid.SetCurrent(2, 1));
  EXPECT_EQ(grid.SelectionEnd(), (CellPosition{2, 1}));
  EXPECT_EQ(grid.SelectionText(), "title2");
}

struct SelectionCase {
  CellPosition current;
  CellPosition end;
  std::string text;
};

void PrintTo(const SelectionCase& c, std::ostream* os) {
  *os << c.current.row << ',' << c.current.col << " to " << c.end.row << ',' << c.end.col;
}

class ResultGridSelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(ResultGridSelectionTest, JoinsCellsWithTabsAndRowsWithCarriageReturns) {
  ResultGrid grid;
  grid.WriteHeadings();
  WriteEntries(grid, 3);
  const SelectionCase& c = GetParam();
  ASSERT_TRUE(grid.SetCurrent(c.current.row, c.current.col));
  ASSERT_TRUE(grid.SetSelectionEnd(c.end.row, c.end.col));
  EXPECT_EQ(grid.SelectionText(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResultGridSelectionTest,
    ::testing::Values(SelectionCase{{2, 1}, {2, 1}, "title2"}, SelectionCase{{5, 1}, {5, 1}, ""},
                      SelectionCase{{1, 0}, {1, 3}, "1\ttitle1\tmq4\thttp://x/1"},
                      SelectionCase{{1, 1}, {2, 2}, "title1\tmq4\rtitle2\tmq4"},
                      SelectionCase{{2, 2}, {1, 1}, "title1\tmq4\rtitle2\tmq4"},
                      SelectionCase{{1, 2}, {2, 1}, "title1\tmq4\rtitle2\tmq4"},
                      SelectionCase{{2, 1}, {1, 2}, "title1\tmq4\rtitle2\tmq4"},
                      SelectionCase{{0, 0}, {1, 0}, "  No.\r1"},
                      SelectionCase{{3, 0}, {5, 0}, "3\r\r"}));

TEST(ResultGridTest, AlignmentAppliesToTheCurrentCellOnly) {
  ResultGrid grid;
  ASSERT_TRUE(grid.SetCurrent(4, 1));
  grid.SetCellAlignment(CellAlignment::kLeftCentre);
  EXPECT_EQ(grid.GetCellAlignment(4, 1), CellAlignment::kLeftCentre);
  EXPECT_EQ(grid.GetCellAlignment(4, 0), CellAlignment::kGeneral);
  EXPECT_EQ(grid.GetCellAlignment(5, 1), CellAlignment::kGeneral);
}

TEST(ResultGridTest, TopRowIsAnEntryRow) {
  ResultGrid grid;
  EXPECT_FALSE(grid.SetTopRow(0));
  EXPECT_FALSE(grid.SetTopRow(3000));
  EXPECT_TRUE(grid.SetTopRow(2999));
}

class RecordingObserver : public ResultGridObserver {
 public:
  void CellChanged(int row, int col) override {
    events.push_back("cell " + std::to_string(row) + "," + std::to_string(col));
  }
  void RowAboutToBeRemoved(int row) override {
    events.push_back("removing " + std::to_string(row));
  }
  void RowRemoved(int row) override { events.push_back("removed " + std::to_string(row)); }
  void AllCellsChanged() override { events.emplace_back("all"); }
  void SelectionChanged() override { events.emplace_back("selection"); }
  void HighlightChanged() override { events.emplace_back("highlight"); }
  void TopRowChanged(int row) override { events.push_back("top " + std::to_string(row)); }
  void ColumnWidthsChanged() override { events.emplace_back("widths"); }
  std::vector<std::string> events;
};

TEST(ResultGridTest, TellsTheObserverAboutEveryChangeAndNothingElse) {
  ResultGrid grid;
  RecordingObserver observer;
  grid.SetObserver(&observer);

  ASSERT_TRUE(grid.SetCell(1, 0, "1"));
  EXPECT_FALSE(grid.SetCell(3000, 0, "x"));
  ASSERT_TRUE(grid.SetCurrent(1, 1));
  grid.SetCellAlignment(CellAlignment::kLeftCentre);
  ASSERT_TRUE(grid.SetSelectionEnd(1, 3));
  ASSERT_TRUE(grid.RemoveRow(5));
  grid.ClearAll();
  ASSERT_TRUE(grid.SetTopRow(7));
  grid.SetHighlight(Highlight::kHidden);
  grid.SetColumnWidths();
  (void)grid.SelectionText();
  (void)grid.GetCell(1, 0);

  EXPECT_THAT(observer.events,
              ElementsAre("cell 1,0", "selection", "cell 1,1", "selection", "removing 5",
                          "removed 5", "all", "top 7", "highlight", "widths"));
  grid.SetObserver(nullptr);
}

}  // namespace
}  // namespace trawlbox::results
