#include "results/list_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "results/result_grid.h"
#include "tests/support/command_fakes.h"

namespace trawlbox::testing {
namespace {

// A grid with headings and `count` entries, and the commands over it.
struct Commands {
  explicit Commands(int count) {
    grid.WriteHeadings();
    for (int n = 1; n <= count; ++n) {
      const std::string id = std::to_string(n);
      EXPECT_TRUE(grid.SetCell(n, 0, id));
      EXPECT_TRUE(grid.SetCell(n, 1, "EA" + id + ".mq4"));
      EXPECT_TRUE(grid.SetCell(n, 2, "mq4"));
      EXPECT_TRUE(grid.SetCell(n, 3, "http://h/" + id));
    }
  }

  results::ResultGrid grid;
  RecordingOpener opener;
  RecordingClipboard clipboard;
  results::ListCommands commands{grid, opener, clipboard};
};

TEST(ListCommands, EntryTestLooksOnlyAtTheCurrentRowsUrl) {
  struct Case {
    const char* name;
    int entries;
    std::function<void(Commands&)> prepare;
    bool holds_entry;
  };
  const std::vector<Case> cases = {
      {"no entries yet", 0, [](Commands&) {}, false},
      {"first entry current at start", 3, [](Commands&) {}, true},
      {"current row is an entry", 3, [](Commands& c) { EXPECT_TRUE(c.grid.SetCurrent(2, 0)); },
       true},
      {"selection reaches an entry, current row does not", 3,
       [](Commands& c) {
         EXPECT_TRUE(c.grid.SetCurrent(4, 0));
         EXPECT_TRUE(c.grid.SetSelectionEnd(1, 3));
       },
       false},
      {"entry without a URL", 3,
       [](Commands& c) {
         EXPECT_TRUE(c.grid.SetCell(2, 3, ""));
         EXPECT_TRUE(c.grid.SetCurrent(2, 3));
       },
       false},
      {"list cleared", 3, [](Commands& c) { c.commands.Clear(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Commands commands(c.entries);
    c.prepare(commands);
    EXPECT_EQ(commands.commands.CurrentRowHoldsEntry(), c.holds_entry);
  }
}

TEST(ListCommands, OpenHandsTheCurrentRowsUrlOverWithTheProgramFolder) {
  Commands c(3);
  ASSERT_TRUE(c.grid.SetCurrent(2, 1));
  ASSERT_TRUE(c.grid.SetSelectionEnd(3, 3));
  c.commands.Open("/opt/trawlbox/");
  EXPECT_EQ(c.opener.opened,
            (std::vector<std::pair<std::string, std::string>>{{"http://h/2", "/opt/trawlbox/"}}));
}

TEST(ListCommands, CopyPutsTheSelectedCellsOnTheClipboard) {
  struct Case {
    const char* name;
    results::CellPosition current;
    results::CellPosition selection_end;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"one cell", {2, 1}, {2, 1}, "EA2.mq4"},
      {"one row", {1, 0}, {1, 3}, "1\tEA1.mq4\tmq4\thttp://h/1"},
      {"block dragged upwards", {3, 2}, {2, 3}, "mq4\thttp://h/2\rmq4\thttp://h/3"},
      {"empty cells copied too", {3, 0}, {4, 1}, "3\tEA3.mq4\r\t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Commands commands(3);
    ASSERT_TRUE(commands.grid.SetCurrent(c.current.row, c.current.col));
    ASSERT_TRUE(commands.grid.SetSelectionEnd(c.selection_end.row, c.selection_end.col));
    commands.commands.Copy();
    EXPECT_EQ(commands.clipboard.texts, std::vector<std::string>{c.text});
  }
}

TEST(ListCommands, RemoveDeletesTheCurrentRowWithoutRenumbering) {
  Commands c(10);
  ASSERT_TRUE(c.grid.SetCurrent(3, 2));
  c.commands.Remove();
  std::vector<std::string> numbers;
  for (int row = 1; row <= 10; ++row) numbers.push_back(*c.grid.GetCell(row, 0));
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "4", "5", "6", "7", "8", "9", "10", ""}));
  EXPECT_EQ(c.grid.RowCount(), results::ResultGrid::kInitialRows - 1);
}

TEST(ListCommands, ClearEmptiesEveryCellHeadingsIncludedAndKeepsTheRows) {
  Commands c(3);
  c.commands.Clear();
  for (int row = 0; row <= 3; ++row) {
    for (int col = 0; col < results::ResultGrid::kColumns; ++col) {
      EXPECT_EQ(*c.grid.GetCell(row, col), "") << row << "," << col;
    }
  }
  EXPECT_EQ(c.grid.RowCount(), results::ResultGrid::kInitialRows);
}

}  // namespace
}  // namespace trawlbox::testing
