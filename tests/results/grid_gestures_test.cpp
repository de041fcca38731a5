#include "results/grid_gestures.h"

#include <gtest/gtest.h>

#include <vector>

namespace trawlbox::results {
namespace {

constexpr int kLast = ResultGrid::kInitialRows - 1;
constexpr int kPage = 20;

enum class Input { kPress, kKey, kHeading, kAll };

// One gesture (a press or a heading at `at`, or `key`), and where the grid's current cell and
// selection end are afterwards.
struct Step {
  Input input;
  CellPosition at;
  GridKey key;
  bool shift;
  bool ctrl;
  CellPosition current;
  CellPosition end;
};

constexpr GridKey kNoKey = GridKey::kUp;

TEST(GridGesturesTest, EveryGestureLeavesOneRectangleAnchoredAtTheCurrentCell) {
  using enum GridKey;
  const std::vector<std::vector<Step>> tables = {
      {{Input::kPress, {2, 1}, kNoKey, false, false, {2, 1}, {2, 1}},
       {Input::kKey, {}, kDown, false, false, {3, 1}, {3, 1}},
       {Input::kKey, {}, kRight, false, false, {3, 2}, {3, 2}},
       {Input::kKey, {}, kDown, true, false, {3, 2}, {4, 2}},
       {Input::kKey, {}, kLeft, true, false, {3, 2}, {4, 1}},
       {Input::kKey, {}, kUp, false, false, {2, 2}, {2, 2}},
       {Input::kKey, {}, kUp, false, false, {1, 2}, {1, 2}},
       {Input::kKey, {}, kUp, false, false, {1, 2}, {1, 2}}},
      {{Input::kPress, {2, 1}, kNoKey, false, false, {2, 1}, {2, 1}},
       {Input::kKey, {}, kPageDown, false, false, {22, 1}, {22, 1}},
       {Input::kKey, {}, kPageUp, true, false, {22, 1}, {2, 1}},
       {Input::kKey, {}, kPageUp, false, false, {2, 1}, {2, 1}},
       {Input::kKey, {}, kPageUp, false, false, {1, 1}, {1, 1}}},
      {{Input::kPress, {3, 2}, kNoKey, false, false, {3, 2}, {3, 2}},
       {Input::kKey, {}, kHome, false, false, {3, 0}, {3, 0}},
       {Input::kKey, {}, kEnd, false, false, {3, 3}, {3, 3}},
       {Input::kKey, {}, kHome, true, false, {3, 3}, {3, 0}},
       {Input::kKey, {}, kEnd, false, true, {kLast, 3}, {kLast, 3}},
       {Input::kKey, {}, kHome, true, true, {kLast, 3}, {1, 0}},
       {Input::kKey, {}, kPageDown, false, false, {kLast, 3}, {kLast, 3}}},
      {{Input::kPress, {5, 2}, kNoKey, false, false, {5, 2}, {5, 2}},
       {Input::kHeading, {0, 1}, kNoKey, false, false, {1, 1}, {kLast, 1}},
       {Input::kHeading, {0, 3}, kNoKey, true, false, {1, 1}, {kLast, 3}},
       {Input::kPress, {6, 3}, kNoKey, false, false, {6, 3}, {6, 3}},
       {Input::kAll, {}, kNoKey, false, false, {1, 0}, {kLast, 3}}},
      // Presses and drags beyond the entry cells count as the nearest entry cell.
      {{Input::kPress, {0, 2}, kNoKey, false, false, {1, 2}, {1, 2}},
       {Input::kPress, {kLast + 1, 4}, kNoKey, true, false, {1, 2}, {kLast, 3}},
       {Input::kPress, {7, -1}, kNoKey, true, false, {1, 2}, {7, 0}}},
  };
  for (std::size_t table = 0; table < tables.size(); ++table) {
    ResultGrid grid;
    for (std::size_t step = 0; step < tables[table].size(); ++step) {
      SCOPED_TRACE(::testing::Message() << "table " << table << ", step " << step);
      const Step& s = tables[table][step];
      switch (s.input) {
        case Input::kPress:
          PressCell(grid, s.at, s.shift);
          break;
        case Input::kKey:
          static_cast<void>(PressKey(grid, s.key, s.shift, s.ctrl, kPage));
          break;
        case Input::kHeading:
          SelectColumns(grid, s.at.col, s.shift);
          break;
        case Input::kAll:
          SelectAllEntries(grid);
          break;
      }
      EXPECT_EQ(grid.Current(), s.current);
      EXPECT_EQ(grid.SelectionEnd(), s.end);
    }
  }
}

}  // namespace
}  // namespace trawlbox::results
